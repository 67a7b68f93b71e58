#include "generation/WordPool.h"

#include <QTest>

using namespace lexiglow;
using namespace Qt::StringLiterals;

class TestWordPool final : public QObject
{
    Q_OBJECT

private slots:
    void entries_spanManyBlocks();
    void entries_keepCodePageCharacters();
    void truncate_undoesAppends_data();
    void truncate_undoesAppends();
};

namespace {

QString wordNumber(int i)
{
    // Lengths from 1 to 40000 characters, so some words outgrow a block.
    return QString(i % 97 == 0 ? 40000 : 1 + i % 13, QChar(u'a' + i % 26)) + QString::number(i);
}

} // namespace

void TestWordPool::entries_spanManyBlocks()
{
    WordPool pool;
    QCOMPARE(pool.size(), 0);
    QCOMPARE(pool.entry(0), QString());

    for (int i = 1; i <= 20000; ++i)
        pool.append(wordNumber(i));
    pool.append(QString());

    QCOMPARE(pool.size(), 20001);
    QCOMPARE(pool.entry(0), QString());
    for (int i = 1; i <= 20000; ++i)
        QCOMPARE(pool.entry(i), wordNumber(i));
    QCOMPARE(pool.entry(20001), QString());
}

void TestWordPool::entries_keepCodePageCharacters()
{
    WordPool pool;
    pool.append(u"caf\u00e9 \u20ac\u0153\u0081"_s);
    pool.append(u"\u0416ar"_s);

    QCOMPARE(pool.entry(1), u"caf\u00e9 \u20ac\u0153\u0081"_s);
    QCOMPARE(pool.entry(2), u"?ar"_s); // a list file could not hold it either
}

void TestWordPool::truncate_undoesAppends_data()
{
    QTest::addColumn<int>("keep");
    QTest::addRow("nothing") << 0;
    QTest::addRow("one") << 1;
    QTest::addRow("before a long word") << 96;
    QTest::addRow("after a long word") << 97;
    QTest::addRow("many") << 5000;
}

void TestWordPool::truncate_undoesAppends()
{
    QFETCH(int, keep);
    WordPool pool;
    for (int i = 1; i <= 6000; ++i)
        pool.append(wordNumber(i));

    pool.truncate(keep);
    for (int i = keep + 1; i <= keep + 300; ++i)
        pool.append(u"new"_s + QString::number(i));

    QCOMPARE(pool.size(), keep + 300);
    for (int i = 1; i <= keep; ++i)
        QCOMPARE(pool.entry(i), wordNumber(i));
    for (int i = keep + 1; i <= keep + 300; ++i)
        QCOMPARE(pool.entry(i), u"new"_s + QString::number(i));
}

QTEST_GUILESS_MAIN(TestWordPool)
#include "tst_wordpool.moc"
