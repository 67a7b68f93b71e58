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

    void contrast_isTheWcagRatio_data()
    {
        QTest::addColumn<QColor>("one");
        QTest::addColumn<QColor>("other");
        QTest::addColumn<double>("ratio");
        // Figures as WCAG 2's own examples and checkers give them.
        QTest::addRow("black on white") << QColor(Qt::black) << QColor(Qt::white) << 21.0;
        QTest::addRow("alike") << QColor(0x3d, 0x3d, 0x3d) << QColor(0x3d, 0x3d, 0x3d) << 1.0;
        QTest::addRow("the lightest grey that passes on white") << QColor(0x76, 0x76, 0x76) << QColor(Qt::white) << 4.54;
        QTest::addRow("one step lighter fails") << QColor(Qt::white) << QColor(0x77, 0x77, 0x77) << 4.48;
        QTest::addRow("pure red on black") << QColor(Qt::red) << QColor(Qt::black) << 5.25;
    }

    void contrast_isTheWcagRatio()
    {
        QFETCH(QColor, one);
        QFETCH(QColor, other);
        QFETCH(double, ratio);
        QCOMPARE(std::round(readable::contrast(one, other) * 100) / 100, ratio);
    }

    void tintedBase_tintsAsFarAsTheTextStaysReadable_data()
    {
        QTest::addColumn<QColor>("base");
        QTest::addColumn<QColor>("text");
        QTest::addColumn<QString>("tinted");
        // A quarter of the way to red, or less.
        QTest::addRow("light: pink") << QColor(Qt::white) << QColor(Qt::black) << u"#ffbfbf"_s;
        QTest::addRow("dark (qt6ct's darker): deep red") << QColor(0x3d, 0x3d, 0x3d) << QColor(Qt::white) << u"#6e2e2e"_s;
        QTest::addRow("high contrast: dark red") << QColor(Qt::black) << QColor(Qt::white) << u"#400000"_s;
        QTest::addRow("grey text barely readable: no tint") << QColor(Qt::white) << QColor(0x76, 0x76, 0x76) << u"#ffffff"_s;
    }

    void tintedBase_tintsAsFarAsTheTextStaysReadable()
    {
        QFETCH(QColor, base);
        QFETCH(QColor, text);
        QFETCH(QString, tinted);
        QPalette palette;
        palette.setColor(QPalette::Base, base);
        palette.setColor(QPalette::Text, text);
        const QColor mark = readable::tintedBase(palette, Qt::red, 0.25);
        QCOMPARE(mark.name(), tinted);
        QVERIFY(readable::contrast(mark, readable::textOn(mark, text)) >= readable::minimumContrast);
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
