#include "support/ModalDriver.h"
#include "support/RecordingUrlOpener.h"

#include "Version.h"
#include "about/frmSplash.h"

#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace lexiglow;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// Long enough never to run out during a test.
constexpr std::chrono::milliseconds never = 1h;

} // namespace

class TestFrmSplash final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void content();
    void versionText_isMajorMinorRevision();
    void websitePage_isTheOneAddress();
    void timer_closesTheSplash();
    void stopAutoClose_staysPastTheDelay();
    void openedTwice_showsSameVersion();
    void focus_startsOnThePicture();
    void key_closes_data();
    void key_closes();
    void tab_movesFocusAndKeepsWindowOpen();
    void click_data();
    void click();
    void visitWebsite_opensPageAndStaysOpen();

private:
    std::unique_ptr<RecordingUrlOpener> m_opener;
};

void TestFrmSplash::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestFrmSplash::init()
{
    m_opener = std::make_unique<RecordingUrlOpener>();
}

void TestFrmSplash::content()
{
    frmSplash splash(*m_opener, never);
    QVERIFY(splash.windowTitle().isEmpty());
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(splash.findChild<QWidget *>(u"Frame1"_s));
    QVERIFY(splash.findChild<QLabel *>(u"Picture1"_s));
    QVERIFY(!splash.findChild<QLabel *>(u"Picture1"_s)->pixmap().isNull());
    QVERIFY(!splash.findChild<QLabel *>(u"lblWarning"_s)->text().isEmpty());
    QCOMPARE(splash.findChild<QPushButton *>(u"cmdSysInfo"_s)->text(), u"Visit Website"_s);
    QCOMPARE(splash.findChild<QLabel *>(u"lblVersion"_s)->text(), frmSplash::versionText());
    QTimer *timer = splash.findChild<QTimer *>(u"Timer1"_s);
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->intervalAsDuration(), never);
}

void TestFrmSplash::versionText_isMajorMinorRevision()
{
    QCOMPARE(frmSplash::versionText(),
             u"Version %1.%2.%3"_s.arg(versionMajor).arg(versionMinor).arg(versionRevision));
    // This release.
    QCOMPARE(frmSplash::versionText(), u"Version 1.0.0"_s);
}

void TestFrmSplash::websitePage_isTheOneAddress()
{
    const QUrl page = frmSplash::websitePage();
    QCOMPARE(page.scheme(), u"https"_s);
    QVERIFY(page.host().endsWith(u".example"_s));
    QCOMPARE(page.path(), u"/index.html"_s);
    QCOMPARE(page.query(), u"fromapp=1"_s);
}

void TestFrmSplash::timer_closesTheSplash()
{
    frmSplash splash(*m_opener, 20ms);
    const auto ran = modal::onNext([](QWidget *window) {
        QCOMPARE(window->objectName(), u"frmSplash"_s);
        // Nothing is pressed: only the timer can close it.
        QTRY_VERIFY(!window->isVisible());
    });
    splash.showModal();
    QVERIFY(*ran);
}

void TestFrmSplash::stopAutoClose_staysPastTheDelay()
{
    frmSplash about(*m_opener, 20ms);
    about.stopAutoClose();
    const auto ran = modal::onNext([](QWidget *window) {
        QVERIFY(!window->findChild<QTimer *>(u"Timer1"_s)->isActive());
        QTest::qWait(200); // ten times the delay
        QVERIFY(window->isVisible());
        QTest::keyClick(window->findChild<QWidget *>(u"Picture1"_s), Qt::Key_X);
        QVERIFY(!window->isVisible());
    });
    about.showModal();
    QVERIFY(*ran);
}

void TestFrmSplash::openedTwice_showsSameVersion()
{
    QStringList seen;
    for (int i = 0; i < 2; ++i) {
        frmSplash about(*m_opener, never);
        about.stopAutoClose();
        modal::onNext([&seen](QWidget *window) {
            seen.append(window->findChild<QLabel *>(u"lblVersion"_s)->text());
            QTest::keyClick(window->findChild<QWidget *>(u"Picture1"_s), Qt::Key_Return);
        });
        about.showModal();
    }
    QCOMPARE(seen, QStringList({frmSplash::versionText(), frmSplash::versionText()}));
}

void TestFrmSplash::focus_startsOnThePicture()
{
    frmSplash splash(*m_opener, never);
    QString focused;
    modal::onNext([&focused](QWidget *window) {
        QTRY_VERIFY(window->focusWidget());
        focused = window->focusWidget()->objectName();
    });
    splash.showModal();
    QCOMPARE(focused, u"Picture1"_s);
}

void TestFrmSplash::key_closes_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<QString>("where");
    QTest::addRow("letter on the picture") << Qt::Key_A << u"Picture1"_s;
    QTest::addRow("digit on the picture") << Qt::Key_7 << u"Picture1"_s;
    QTest::addRow("Esc on the picture") << Qt::Key_Escape << u"Picture1"_s;
    QTest::addRow("Enter on the picture") << Qt::Key_Return << u"Picture1"_s;
    QTest::addRow("space on the button") << Qt::Key_Space << u"cmdSysInfo"_s;
    QTest::addRow("Enter on the button") << Qt::Key_Return << u"cmdSysInfo"_s;
}

void TestFrmSplash::key_closes()
{
    QFETCH(Qt::Key, key);
    QFETCH(QString, where);
    frmSplash splash(*m_opener, never);
    bool closed = false;
    modal::onNext([&](QWidget *window) {
        QTest::keyClick(window->findChild<QWidget *>(where), key);
        closed = !window->isVisible();
    });
    splash.showModal();
    QVERIFY(closed);
    // A key on the button closes the window; it does not press the button.
    QVERIFY(m_opener->opened.isEmpty());
}

void TestFrmSplash::tab_movesFocusAndKeepsWindowOpen()
{
    frmSplash splash(*m_opener, never);
    bool open = false;
    QString focused;
    modal::onNext([&](QWidget *window) {
        QWidget *picture = window->findChild<QWidget *>(u"Picture1"_s);
        picture->setFocus();
        QTest::keyClick(picture, Qt::Key_Tab);
        open = window->isVisible();
        focused = window->focusWidget() ? window->focusWidget()->objectName() : QString();
    });
    splash.showModal();
    QVERIFY(open);
    QCOMPARE(focused, u"cmdSysInfo"_s);
}

void TestFrmSplash::click_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("closes");
    QTest::addRow("free part of the frame") << u"Frame1"_s << true;
    QTest::addRow("logo") << u"Picture1"_s << false;
    QTest::addRow("notice line") << u"lblWarning"_s << false;
    QTest::addRow("version") << u"lblVersion"_s << false;
}

void TestFrmSplash::click()
{
    QFETCH(QString, target);
    QFETCH(bool, closes);
    frmSplash splash(*m_opener, never);
    bool closed = false;
    modal::onNext([&](QWidget *window) {
        QWidget *widget = window->findChild<QWidget *>(target);
        // The frame's top left corner is free; the others are clicked in their middle.
        const QPoint where = target == u"Frame1"_s ? QPoint(5, 5) : widget->rect().center();
        QTest::mouseClick(widget, Qt::LeftButton, {}, where);
        closed = !window->isVisible();
    });
    splash.showModal();
    QCOMPARE(closed, closes);
}

void TestFrmSplash::visitWebsite_opensPageAndStaysOpen()
{
    frmSplash about(*m_opener, never);
    about.stopAutoClose();
    bool openAfterClick = false;
    bool closedByKey = false;
    modal::onNext([&](QWidget *window) {
        QTest::mouseClick(window->findChild<QPushButton *>(u"cmdSysInfo"_s), Qt::LeftButton);
        openAfterClick = window->isVisible();
        QTest::keyClick(window->findChild<QWidget *>(u"Picture1"_s), Qt::Key_Q);
        closedByKey = !window->isVisible();
    });
    about.showModal();
    QVERIFY(openAfterClick);
    QVERIFY(closedByKey);
    QCOMPARE(m_opener->opened, QList<QUrl>({frmSplash::websitePage()}));
    QCOMPARE(m_opener->opened.first().toString(), u"https://lexiglow.example/index.html?fromapp=1"_s);
}

QTEST_MAIN(TestFrmSplash)
#include "tst_frmsplash.moc"
