#include "support/ListFileBytes.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingNotice.h"
#include "support/TestLists.h"

#include "library/ListLibrary.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace lexiglow;
using namespace Qt::StringLiterals;

class TestListLibrary final : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void firstStart_scansProgramFolderInNameOrder();
    void storedLibrary_folderNotScanned();
    void storedCount_notAWholeNumber_scansFolder_data();
    void storedCount_notAWholeNumber_scansFolder();
    void missingPassfileKey_readsAsZero();
    void shrunkLibrary_leftoverKeysIgnored();
    void addAndRemove_renumberAndStore();
    void add_refusedWhenFull();
    void savef_unwritableStore_keepsLibrary();
    void rowKeys_data();
    void rowKeys();
    void readListSummary_outcomes();
    void settingsFile_storedForm();

private:
    QString programFile(const QString &name) const { return m_program->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_program;
    MemorySettingsStore m_store;
};

void TestListLibrary::init()
{
    m_program = std::make_unique<QTemporaryDir>();
    m_store = MemorySettingsStore();
    for (const QString &name : {u"b.lxg"_s, u"a.lxg"_s, u"c.lxg"_s, u".hidden.lxg"_s, u"upper.LXG"_s, u"notes.txt"_s})
        listbytes::write(programFile(name), "x");
    QDir(m_program->path()).mkdir(u"folder.lxg"_s);
}

void TestListLibrary::firstStart_scansProgramFolderInNameOrder()
{
    ListLibrary library(m_store);

    library.loadf(m_program->path());

    const QStringList expected{QString(), programFile(u"a.lxg"_s), programFile(u"b.lxg"_s), programFile(u"c.lxg"_s)};
    QCOMPARE(library.passfiles(), expected);
    QCOMPARE(m_store.get(u"passfiles"_s, u"count"_s), u"3"_s);
    for (int entry = 1; entry <= 3; ++entry)
        QCOMPARE(m_store.get(u"passfiles"_s, u"passfile"_s + QString::number(entry)), expected[entry]);
}

void TestListLibrary::storedLibrary_folderNotScanned()
{
    m_store.values = {{{u"passfiles"_s, u"count"_s}, u"2"_s},
                      {{u"passfiles"_s, u"passfile1"_s}, u"/lists/one.lxg"_s},
                      {{u"passfiles"_s, u"passfile2"_s}, u"/lists/one.lxg"_s}};
    ListLibrary library(m_store);

    library.loadf(m_program->path());

    QCOMPARE(library.passfiles(), (QStringList{QString(), u"/lists/one.lxg"_s, u"/lists/one.lxg"_s}));
}

void TestListLibrary::storedCount_notAWholeNumber_scansFolder_data()
{
    QTest::addColumn<QString>("count");
    QTest::addRow("zero") << u"0"_s;
    QTest::addRow("empty") << QString();
    QTest::addRow("letters") << u"three"_s;
    QTest::addRow("negative") << u"-2"_s;
    QTest::addRow("fraction") << u"1.5"_s;
    QTest::addRow("above the limit") << u"32768"_s;
    QTest::addRow("huge") << u"99999999999999999999999"_s;
}

void TestListLibrary::storedCount_notAWholeNumber_scansFolder()
{
    QFETCH(QString, count);
    m_store.values = {{{u"passfiles"_s, u"count"_s}, count}, {{u"passfiles"_s, u"passfile1"_s}, u"/lists/one.lxg"_s}};
    ListLibrary library(m_store);

    library.loadf(m_program->path());

    QCOMPARE(library.count(), 3);
    QCOMPARE(m_store.get(u"passfiles"_s, u"count"_s), u"3"_s);
}

void TestListLibrary::missingPassfileKey_readsAsZero()
{
    m_store.values = {{{u"passfiles"_s, u"count"_s}, u"2"_s}, {{u"passfiles"_s, u"passfile2"_s}, u"/lists/two.lxg"_s}};
    ListLibrary library(m_store);

    library.loadf(m_program->path());

    QCOMPARE(library.passfiles(), (QStringList{QString(), u"0"_s, u"/lists/two.lxg"_s}));
    QCOMPARE(m_store.get(u"passfiles"_s, u"passfile1"_s), u"0"_s);
}

void TestListLibrary::shrunkLibrary_leftoverKeysIgnored()
{
    ListLibrary library(m_store);
    library.loadf(m_program->path());
    library.remove(1);
    library.savef();

    QCOMPARE(m_store.get(u"passfiles"_s, u"count"_s), u"2"_s);
    QCOMPARE(m_store.get(u"passfiles"_s, u"passfile1"_s), programFile(u"b.lxg"_s));
    QCOMPARE(m_store.get(u"passfiles"_s, u"passfile3"_s), programFile(u"c.lxg"_s)); // left over

    ListLibrary again(m_store);
    again.loadf(m_program->path());
    QCOMPARE(again.passfiles(), (QStringList{QString(), programFile(u"b.lxg"_s), programFile(u"c.lxg"_s)}));
}

void TestListLibrary::addAndRemove_renumberAndStore()
{
    ListLibrary library(m_store);
    library.loadf(QString());
    QCOMPARE(library.count(), 0);
    QCOMPARE(m_store.get(u"passfiles"_s, u"count"_s), u"0"_s);

    QCOMPARE(library.add(u"/x/one.lxg"_s), 1);
    QCOMPARE(library.add(u"/x/two.lxg"_s), 2);
    QCOMPARE(library.add(u"/x/one.lxg"_s), 3);
    library.remove(1);
    library.remove(7); // no such entry
    QVERIFY(library.savef());

    QCOMPARE(library.passfiles(), (QStringList{QString(), u"/x/two.lxg"_s, u"/x/one.lxg"_s}));
    QCOMPARE(m_store.get(u"passfiles"_s, u"count"_s), u"2"_s);
    QCOMPARE(m_store.get(u"passfiles"_s, u"passfile2"_s), u"/x/one.lxg"_s);
}

void TestListLibrary::add_refusedWhenFull()
{
    ListLibrary library(m_store);
    for (qsizetype i = 1; i <= ListLibrary::maxEntries; ++i)
        QCOMPARE(library.add(u"/x.lxg"_s), i);

    QCOMPARE(library.add(u"/x.lxg"_s), std::nullopt);
    QCOMPARE(library.count(), ListLibrary::maxEntries);
}

void TestListLibrary::savef_unwritableStore_keepsLibrary()
{
    m_store.writable = false;
    ListLibrary library(m_store);
    library.loadf(m_program->path());

    QCOMPARE(library.add(u"/x/more.lxg"_s), 4);
    QVERIFY(!library.savef());
    QCOMPARE(library.count(), 4);
}

void TestListLibrary::rowKeys_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<std::optional<qsizetype>>("entry");
    QTest::addRow("file_1") << u"file_1"_s << std::optional<qsizetype>(1);
    QTest::addRow("file_12") << u"file_12"_s << std::optional<qsizetype>(12);
    QTest::addRow("file_32767") << u"file_32767"_s << std::optional<qsizetype>(32767);
    QTest::addRow("no number") << u"file_"_s << std::optional<qsizetype>();
    QTest::addRow("letters") << u"file_x"_s << std::optional<qsizetype>();
}

void TestListLibrary::rowKeys()
{
    QFETCH(QString, key);
    QFETCH(std::optional<qsizetype>, entry);

    QCOMPARE(ListLibrary::entryNumber(key), entry);
    if (entry)
        QCOMPARE(ListLibrary::rowKey(*entry), key);
}

void TestListLibrary::readListSummary_outcomes()
{
    RecordingNotice notice;
    const QString good = programFile(u"good.lxg"_s);
    makeList(good, u"Birds"_s, {u"robin"_s}, u"Small birds"_s);
    const QString damaged = programFile(u"damaged.lxg"_s);
    listbytes::write(damaged, listbytes::colorsFile.left(80));

    const ListSummary read = readListSummary(good, notice);
    QCOMPARE(read.name, u"Birds"_s);
    QCOMPARE(read.description, u"Small birds"_s);
    QVERIFY(read.failure.isEmpty());

    const ListSummary foreign = readListSummary(programFile(u"a.lxg"_s), notice);
    QCOMPARE(notice.messages, QStringList{u"Invalid File"_s});
    QVERIFY(foreign.name.isEmpty() && foreign.failure.isEmpty());

    for (const QString &path : {damaged, programFile(u"missing.lxg"_s), programFile(u"folder.lxg"_s)}) {
        const ListSummary failed = readListSummary(path, notice);
        QVERIFY(failed.name.isEmpty() && failed.description.isEmpty());
        QVERIFY2(failed.failure.contains(QDir::toNativeSeparators(path)), qPrintable(failed.failure));
    }
    QCOMPARE(notice.messages.size(), 1);
}

void TestListLibrary::settingsFile_storedForm()
{
    const QString ini = m_program->filePath(u"lexiglow.conf"_s);
    {
        QSettingsStore store(ini);
        ListLibrary library(store);
        library.loadf(m_program->path());
        QVERIFY(store.flush());
    }
    const QString text = QString::fromUtf8(listbytes::read(ini));
    QVERIFY2(text.contains(u"[passfiles]\ncount=3\npassfile1="_s), qPrintable(text));

    // A value written by hand with commas reads back as the text it was.
    listbytes::write(ini, "[passfiles]\ncount=1\npassfile1=/my lists/a, b.lxg\n");
    QSettingsStore store(ini);
    QCOMPARE(store.value(u"passfiles"_s, u"passfile1"_s, u"0"_s), u"/my lists/a, b.lxg"_s);
    QCOMPARE(store.value(u"passfiles"_s, u"passfile2"_s, u"0"_s), u"0"_s);

    QSettingsStore unwritable(programFile(u"notes.txt"_s) + u"/inside.conf"_s);
    unwritable.setValue(u"passfiles"_s, u"count"_s, u"1"_s);
    QVERIFY(!unwritable.flush());
    QCOMPARE(unwritable.value(u"passfiles"_s, u"count"_s, u"0"_s), u"1"_s);
}

QTEST_GUILESS_MAIN(TestListLibrary)
#include "tst_listlibrary.moc"
