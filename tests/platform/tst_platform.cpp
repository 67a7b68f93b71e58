#include "support/WindowTestEnvironment.h"

#include "platform/MessageBoxNotice.h"
#include "platform/Readable.h"
#include "platform/ScreenFit.h"
#include "platform/Twips.h"

#include <QMessageBox>
#include <QScreen>
#include <QVBoxLayout>

using namespace lexiglow;
using namespace Qt::StringLiterals;

// The file filter reaches the dialog through "Add List" (tst_frmmain); the
// colours and sizes are checked over every window in tst_windows too.
class TestPlatform final : public QObject
{
    Q_OBJECT

private slots:
    void notice_showsTheTextAsWrittenUnderTheProgramName_withOkOnly()
    {
        MessageBoxNotice notice;
        const QString message = u"<b>words</b>.txt is not a valid LXG file"_s;
        QVERIFY(modal::drive([&] { notice.tell(message); }, [&message](QWidget *window) {
            auto *box = qobject_cast<QMessageBox *>(window);
            QVERIFY(box);
            QCOMPARE(QStringList({box->windowTitle(), box->text()}), QStringList({u"lexiglow"_s, message}));
            QVERIFY(box->textFormat() == Qt::PlainText && box->icon() == QMessageBox::NoIcon
                    && box->standardButtons() == QMessageBox::Ok);
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
            QVERIFY(!box->isVisible());
        }));
    }

    void twips_becomePixelsAtTheScreensDotsPerInch()
    {
        QCOMPARE(Twips::toPixels(14, 96), 1); // rounded, not cut off
        QCOMPARE(Twips::toPixels(1440, 120), 120);
    }

    void tintedBase_tintsAsFarAsTheTextStaysReadable_data()
    {
        QTest::addColumn<QColor>("base");
        QTest::addColumn<QColor>("text");
        QTest::addColumn<QString>("tinted"); // a quarter of the way to red, or less
        QTest::addColumn<double>("contrast"); // of the text on it, as WCAG 2 works it out
        // The light, dark and high-contrast themes' marks are checked on the suggestions window in tst_windows.
        QTest::addRow("light: pink") << QColor(Qt::white) << QColor(Qt::black) << u"#ffbfbf"_s << 13.46;
        // #767676 is the lightest grey readable on white.
        QTest::addRow("grey text barely readable: no tint") << QColor(Qt::white) << QColor(0x76, 0x76, 0x76) << u"#ffffff"_s << 4.54;
    }

    void tintedBase_tintsAsFarAsTheTextStaysReadable()
    {
        QFETCH(QColor, base);
        QFETCH(QColor, text);
        QFETCH(QString, tinted);
        QFETCH(double, contrast);
        QPalette palette;
        palette.setColor(QPalette::Base, base);
        palette.setColor(QPalette::Text, text);
        const QColor mark = readable::tintedBase(palette, Qt::red, 0.25);
        QCOMPARE(mark.name(), tinted);
        QCOMPARE(std::round(readable::contrast(mark, text) * 100) / 100, contrast);
        QCOMPARE(readable::textOn(mark, text), text);
    }

    void fitOnScreen_asLargeAsDesignedOrNeeded_neverLargerThanTheScreen_data()
    {
        const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
        QTest::addColumn<QSize>("content"); // the least the window's content needs
        QTest::addColumn<QSize>("least");   // as designed
        QTest::addColumn<QSize>("size");
        QTest::addRow("as designed") << QSize(100, 80) << QSize(300, 200) << QSize(300, 200);
        QTest::addRow("as its content needs") << QSize(320, 250) << QSize(300, 200) << QSize(320, 250);
        QTest::addRow("the screen at most") << screen * 2 << QSize(300, 200) << screen;
    }

    void fitOnScreen_asLargeAsDesignedOrNeeded_neverLargerThanTheScreen()
    {
        QFETCH(QSize, content);
        QFETCH(QSize, least);
        QFETCH(QSize, size);
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        auto *control = new QWidget(&window);
        setLeastSize(control, content);
        layout->addWidget(control);
        fitOnScreen(&window, least);
        window.show();
        QCOMPARE(window.size(), size);
        window.resize(1, 1);
        QCOMPARE(window.size(), size); // nor smaller
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
