#include "support/WindowTestEnvironment.h"

#include "about/frmSplash.h"

using namespace lexiglow;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

class TestFrmSplash final : public QObject
{
    Q_OBJECT

private slots:
    void withoutAWebsite_hasNoButtonForIt_andClosesWhenItsTimerRunsOut()
    {
        RecordingUrlOpener opener;
        frmSplash splash(opener, QString(), 10ms);
        splash.show();
        QVERIFY(!splash.findChild<QWidget *>(u"cmdSysInfo"_s)->isVisible());
        QTRY_VERIFY(!splash.isVisible());
    }

    void closesOnTypedKeysAndFreeFrameClicksOnly_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("key"); // 0: a click instead
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("visitsWebsite");
        QTest::addRow("Esc") << u"Picture1"_s << int(Qt::Key_Escape) << true << false;
        QTest::addRow("a letter") << u"Picture1"_s << int(Qt::Key_A) << true << false;
        QTest::addRow("Enter on Visit Website") << u"cmdSysInfo"_s << int(Qt::Key_Return) << true << false;
        QTest::addRow("Tab") << u"Picture1"_s << int(Qt::Key_Tab) << false << false;
        QTest::addRow("a click on the free frame") << u"Frame1"_s << 0 << true << false;
        QTest::addRow("a click on the logo") << u"Picture1"_s << 0 << false << false;
        QTest::addRow("a click on Visit Website") << u"cmdSysInfo"_s << 0 << false << true;
    }

    void closesOnTypedKeysAndFreeFrameClicksOnly()
    {
        QFETCH(QString, target);
        QFETCH(int, key);
        QFETCH(bool, closes);
        QFETCH(bool, visitsWebsite);
        // It opens nothing, as a failed open would; the window takes no notice.
        RecordingUrlOpener opener;
        frmSplash splash(opener, u"https://www.example.org"_s, 1h);
        splash.show();
        QWidget *widget = splash.findChild<QWidget *>(target);
        if (key)
            QTest::keyClick(widget, Qt::Key(key));
        else // the frame's top left corner is free
            QTest::mouseClick(widget, Qt::LeftButton, {}, target == u"Frame1"_s ? QPoint(5, 5) : widget->rect().center());
        QCOMPARE(splash.isVisible(), !closes);
        QCOMPARE(opener.opened, visitsWebsite ? QList<QUrl>({QUrl(u"https://www.example.org/index.html?fromapp=1"_s)})
                                              : QList<QUrl>());
    }
};

QTEST_MAIN(TestFrmSplash)
#include "tst_frmsplash.moc"
