#include "support/WindowTestEnvironment.h"

#include "about/frmSplash.h"

using namespace lexiglow;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

class TestFrmSplash final : public QObject
{
    Q_OBJECT

private slots:
    void closesOnTypedKeysFreeFrameClicksOrItsTimer_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("key"); // with its modifiers; 0: a click instead; -1: neither, the timer runs out
        QTest::addColumn<QString>("then");
        QTest::addRow("no website, the timer runs out") << u"Picture1"_s << -1 << u"closes"_s;
        QTest::addRow("a letter") << u"Picture1"_s << int(Qt::Key_A) << u"closes"_s;
        QTest::addRow("Enter on Visit Website") << u"cmdSysInfo"_s << int(Qt::Key_Return) << u"closes"_s;
        QTest::addRow("Tab") << u"Picture1"_s << int(Qt::Key_Tab) << u"stays"_s;
        QTest::addRow("a click on the free frame") << u"Frame1"_s << 0 << u"closes"_s;
        QTest::addRow("a click on the logo") << u"Picture1"_s << 0 << u"stays"_s;
        QTest::addRow("a click on Visit Website") << u"cmdSysInfo"_s << 0 << u"visits the website"_s;
        QTest::addRow("Alt+V, its mnemonic") << u"Picture1"_s << QKeyCombination(Qt::ALT, Qt::Key_V).toCombined()
                                             << u"visits the website"_s;
    }

    void closesOnTypedKeysFreeFrameClicksOrItsTimer()
    {
        QFETCH(QString, target);
        QFETCH(int, key);
        QFETCH(QString, then);
        // Timed, it is shown without a website and so without a button for it.
        const QString website = key < 0 ? QString() : u"https://www.example.org"_s;
        // It opens nothing, as a failed open would; the window takes no notice.
        WindowTestEnvironment env;
        frmSplash splash(env, website, key < 0 ? 10ms : 1h);
        splash.show();
        modal::activate(&splash);
        QCOMPARE(splash.findChild<QWidget *>(u"cmdSysInfo"_s)->isVisible(), !website.isEmpty());
        QWidget *widget = splash.findChild<QWidget *>(target);
        if (key > 0)
            QTest::keyClick(widget, QKeyCombination::fromCombined(key).key(), QKeyCombination::fromCombined(key).keyboardModifiers());
        else if (key == 0) // the frame's top left corner is free
            QTest::mouseClick(widget, Qt::LeftButton, {}, target == u"Frame1"_s ? QPoint(5, 5) : widget->rect().center());
        QTRY_COMPARE(splash.isVisible(), then != u"closes"_s);
        // A mnemonic presses its button a moment later, as it shows on screen.
        QTRY_COMPARE(env.opened, then == u"visits the website"_s ? QList<QUrl>({QUrl(website + u"/index.html?fromapp=1"_s)}) : QList<QUrl>());
    }
};

QTEST_MAIN(TestFrmSplash)
#include "tst_frmsplash.moc"
