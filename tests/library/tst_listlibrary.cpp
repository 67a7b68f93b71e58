#include "support/ListFileBytes.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingNotice.h"

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
    void initTestCase();
    void loadf_takesStoredLibrary_orScansProgramFolder_data();
    void loadf_takesStoredLibrary_orScansProgramFolder();
    void addAndRemove_renumber_upTo32767Entries();
    void readListSummary_namesFailures();
    void settingsFile_storedForm();

private:
    QString programFile(const QString &name) const { return m_program.filePath(name); }

    QTemporaryDir m_program;
};

void TestListLibrary::initTestCase()
{
    // Of these, a first start finds a.lxg, b.lxg and c.lxg: plain, visible, ".lxg" in lower case.
    for (const QString &name : {u"b.lxg"_s, u"a.lxg"_s, u"c.lxg"_s, u".hidden.lxg"_s, u"upper.LXG"_s, u"notes.txt"_s})
        listbytes::write(programFile(name), "x");
    QVERIFY(QDir(m_program.path()).mkdir(u"folder.lxg"_s));
}

void TestListLibrary::loadf_takesStoredLibrary_orScansProgramFolder_data()
{
    QTest::addColumn<QString>("stored"); // keys of section [passfiles]
    QTest::addColumn<QString>("library"); // the program folder's files by name

    QTest::addRow("first start") << QString() << u"a.lxg b.lxg c.lxg"_s;
    for (const QString &count : {u"0"_s, QString(), u"three"_s, u"-2"_s, u"1.5"_s, u"32768"_s, u"99999999999999999999"_s})
        QTest::addRow("count '%s'", qPrintable(count)) << u"count=%1 passfile1=/l/1.lxg"_s.arg(count) << u"a.lxg b.lxg c.lxg"_s;
    QTest::addRow("stored, duplicates kept") << u"count=2 passfile1=/l/1.lxg passfile2=/l/1.lxg"_s << u"/l/1.lxg /l/1.lxg"_s;
    QTest::addRow("missing key reads 0") << u"count=2 passfile2=/l/2.lxg"_s << u"0 /l/2.lxg"_s;
    QTest::addRow("keys above the count ignored") << u"count=1 passfile1=/l/1.lxg passfile2=/l/2.lxg"_s << u"/l/1.lxg"_s;
}

void TestListLibrary::loadf_takesStoredLibrary_orScansProgramFolder()
{
    QFETCH(QString, stored);
    QFETCH(QString, library);
    MemorySettingsStore store;
    for (const QString &value : stored.split(u' ', Qt::SkipEmptyParts))
        store.values[{u"passfiles"_s, value.section(u'=', 0, 0)}] = value.section(u'=', 1);
    ListLibrary loaded(store);

    loaded.loadf(m_program.path());

    QCOMPARE(loaded.passfiles().first(), QString());
    const QStringList entries = loaded.passfiles().mid(1);
    QCOMPARE(QStringList(entries).replaceInStrings(m_program.path() + u'/', QString()).join(u' '), library);
    // Stored back whole.
    QCOMPARE(store.get(u"passfiles"_s, u"count"_s), QString::number(entries.size()));
    for (qsizetype entry = 1; entry <= entries.size(); ++entry)
        QCOMPARE(store.get(u"passfiles"_s, u"passfile"_s + QString::number(entry)), entries[entry - 1]);
}

void TestListLibrary::addAndRemove_renumber_upTo32767Entries()
{
    MemorySettingsStore store;
    ListLibrary library(store);
    library.loadf(QString());
    QCOMPARE(library.add(u"/x/one.lxg"_s), std::optional<qsizetype>(1));
    QCOMPARE(library.add(u"/x/two.lxg"_s), std::optional<qsizetype>(2));
    QCOMPARE(library.add(u"/x/one.lxg"_s), std::optional<qsizetype>(3));
    library.remove(1);
    library.remove(7); // no such entry
    QVERIFY(library.savef());
    QCOMPARE(library.passfiles(), (QStringList{QString(), u"/x/two.lxg"_s, u"/x/one.lxg"_s}));
    QCOMPARE(store.get(u"passfiles"_s, u"count"_s), u"2"_s);
    QCOMPARE(store.get(u"passfiles"_s, u"passfile2"_s), u"/x/one.lxg"_s);

    store.writable = false;
    QVERIFY(!library.savef());
    QCOMPARE(library.count(), 2);

    while (library.count() < 32767)
        QVERIFY(library.add(u"/x.lxg"_s));
    QCOMPARE(library.add(u"/x.lxg"_s), std::nullopt);
    QCOMPARE(library.count(), 32767);

    // A row's key names its entry.
    QCOMPARE(ListLibrary::rowKey(32767), u"file_32767"_s);
    QCOMPARE(ListLibrary::entryNumber(u"file_12"), std::optional<qsizetype>(12));
    QCOMPARE(ListLibrary::entryNumber(u"file_"), std::nullopt);
    QCOMPARE(ListLibrary::entryNumber(u"file_x"), std::nullopt);
}

void TestListLibrary::readListSummary_namesFailures()
{
    using namespace listbytes;
    RecordingNotice notice;
    write(programFile(u"good.list"_s), header() + field(accented) + field(colors) + int32(1));
    const ListSummary good = readListSummary(programFile(u"good.list"_s), notice);
    QCOMPARE((QStringList{good.name, good.description, good.failure}), (QStringList{u"Colors"_s, u"\u00e9\u20ac\u0153"_s, {}}));

    const ListSummary foreign = readListSummary(programFile(u"notes.txt"_s), notice);
    QCOMPARE(notice.messages, QStringList{u"Invalid File"_s});
    QCOMPARE(foreign.name + foreign.description + foreign.failure, QString());

    // Every word is read, so a list damaged after its name fails too.
    write(programFile(u"damaged.list"_s), colorsFile.left(80));
    for (const QString &name : {u"damaged.list"_s, u"missing.lxg"_s, u"folder.lxg"_s}) {
        const ListSummary failed = readListSummary(programFile(name), notice);
        QCOMPARE(failed.name + failed.description, QString());
        QVERIFY2(failed.failure.startsWith(programFile(name) + u": "_s), qPrintable(failed.failure));
    }
    QCOMPARE(notice.messages.size(), 1);
}

void TestListLibrary::settingsFile_storedForm()
{
    const QString ini = programFile(u"lexiglow.conf"_s);
    {
        QSettingsStore store(ini);
        ListLibrary library(store);
        library.loadf(m_program.path());
    }
    const QString text = QString::fromUtf8(listbytes::read(ini));
    QVERIFY2(text.startsWith(u"[passfiles]\ncount=3\npassfile1=%1\npassfile2="_s.arg(programFile(u"a.lxg"_s))),
             qPrintable(text));

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
