#include "platform/FileDialog.h"

#include <QTest>

using namespace lexiglow;
using namespace Qt::StringLiterals;

class TestFileDialog final : public QObject
{
    Q_OBJECT

private slots:
    void qtFileFilter_data();
    void qtFileFilter();
};

void TestFileDialog::qtFileFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");
    QTest::addRow("the Add List filter") << u"Lexiglow Files|*.lxg"_s << u"Lexiglow Files (*.lxg)"_s;
    QTest::addRow("two entries") << u"Lexiglow Files|*.lxg|All Files|*.*"_s
                                 << u"Lexiglow Files (*.lxg);;All Files (*.*)"_s;
    QTest::addRow("several patterns") << u"Text|*.txt;*.csv"_s << u"Text (*.txt *.csv)"_s;
    QTest::addRow("no pattern") << u"Lexiglow Files"_s << QString();
    QTest::addRow("empty") << QString() << QString();
}

void TestFileDialog::qtFileFilter()
{
    QFETCH(QString, filter);
    QFETCH(QString, expected);
    QCOMPARE(lexiglow::qtFileFilter(filter), expected);
}

QTEST_GUILESS_MAIN(TestFileDialog)
#include "tst_filedialog.moc"
