#include "support/ModalDriver.h"

#include "platform/MessageBoxNotice.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTest>

using namespace lexiglow;
using namespace Qt::StringLiterals;

class TestMessageBoxNotice final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void tell_showsCaptionTextOkOnly_andWaits();
    void tell_showsMarkupAsWritten();
    void tell_showsArrowWhileBusy();
};

void TestMessageBoxNotice::tell_showsCaptionTextOkOnly_andWaits()
{
    MessageBoxNotice notice;
    bool shown = false;
    const auto ran = modal::onNext([&shown](QWidget *window) {
        auto *box = qobject_cast<QMessageBox *>(window);
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), u"lexiglow"_s);
        QCOMPARE(box->text(), u"/lists/words.txt is not a valid LXG file"_s);
        QCOMPARE(box->icon(), QMessageBox::NoIcon);
        QCOMPARE(box->buttons().size(), 1);
        QCOMPARE(box->standardButton(box->buttons().first()), QMessageBox::Ok);
        shown = true;
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        QVERIFY(!box->isVisible());
    });
    notice.tell(u"/lists/words.txt is not a valid LXG file"_s);
    QVERIFY(*ran);
    QVERIFY(shown);
}

void TestMessageBoxNotice::tell_showsMarkupAsWritten()
{
    MessageBoxNotice notice;
    Qt::TextFormat format = Qt::AutoText;
    modal::onNext([&format](QWidget *window) {
        format = qobject_cast<QMessageBox *>(window)->textFormat();
        QTest::keyClick(window, Qt::Key_Return);
    });
    notice.tell(u"<b>list</b>.lxg: damaged"_s);
    QCOMPARE(format, Qt::PlainText);
}

void TestMessageBoxNotice::tell_showsArrowWhileBusy()
{
    MessageBoxNotice notice;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Qt::CursorShape during = Qt::WaitCursor;
    modal::onNext([&during](QWidget *window) {
        during = QApplication::overrideCursor()->shape();
        QTest::keyClick(window, Qt::Key_Return);
    });
    notice.tell(u"Invalid File"_s);
    QCOMPARE(during, Qt::ArrowCursor);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
}

QTEST_MAIN(TestMessageBoxNotice)
#include "tst_messageboxnotice.moc"
