#include "support/WindowTestEnvironment.h"

#include "platform/MessageBoxNotice.h"
#include "platform/Twips.h"

#include <QMessageBox>

using namespace lexiglow;
using namespace Qt::StringLiterals;

// The file filter reaches the dialog through "Add List" (tst_frmmain).
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
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
