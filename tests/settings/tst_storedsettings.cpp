#include "support/ListFileBytes.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingNotice.h"

#include "library/ListLibrary.h"
#include "platform/SettingsStore.h"
#include "settings/StoredSettings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace lexiglow;
using namespace Qt::StringLiterals;

namespace {

ino_t inodeOf(const QString &path)
{
    struct stat status;
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

} // namespace

// What the program keeps in the user's settings: the library of list files in [passfiles], and the
// Advanced Settings values in [Values].
class TestStoredSettings final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void library_loadf_takesStoredLibrary_orScansProgramFolder_data();
    void library_loadf_takesStoredLibrary_orScansProgramFolder();
    void library_addAndRemove_renumber_upTo32767Entries();
    void library_readListSummary_namesFailures();
    void values_restore_eachControlTakesWhatItAccepts_data();
    void values_restore_eachControlTakesWhatItAccepts();
    void settingsFile_holdsLibraryAndValues();

private:
    QString programFile(const QString &name) const { return m_program.filePath(name); }

    QTemporaryDir m_program;
};

void TestStoredSettings::initTestCase()
{
    // Of these, a first start finds a.lxg, b.lxg and c.lxg: plain, visible, ".lxg" in lower case.
    for (const QString &name : {u"b.lxg"_s, u"a.lxg"_s, u"c.lxg"_s, u".hidden.lxg"_s, u"upper.LXG"_s, u"notes.txt"_s})
        listbytes::write(programFile(name), "x");
    QVERIFY(QDir(m_program.path()).mkdir(u"folder.lxg"_s));
}

void TestStoredSettings::library_loadf_takesStoredLibrary_orScansProgramFolder_data()
{
    QTest::addColumn<QString>("stored"); // keys of section [passfiles]
    QTest::addColumn<QString>("library"); // the program folder's files by name

    const QString scanned = u"a.lxg b.lxg c.lxg"_s;
    QTest::addRow("first start") << QString() << scanned;
    for (const QString &count : {u"0"_s, QString(), u"three"_s, u"-2"_s, u"1.5"_s, u"32768"_s, u"99999999999999999999"_s})
        QTest::addRow("count '%s'", qPrintable(count)) << u"count=%1 passfile1=/l/1.lxg"_s.arg(count) << scanned;
    QTest::addRow("stored, duplicates kept") << u"count=2 passfile1=/l/1.lxg passfile2=/l/1.lxg"_s << u"/l/1.lxg /l/1.lxg"_s;
    QTest::addRow("missing key reads 0") << u"count=2 passfile2=/l/2.lxg"_s << u"0 /l/2.lxg"_s;
    QTest::addRow("keys above the count ignored") << u"count=1 passfile1=/l/1.lxg passfile2=/l/2.lxg"_s << u"/l/1.lxg"_s;
}

void TestStoredSettings::library_loadf_takesStoredLibrary_orScansProgramFolder()
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

void TestStoredSettings::library_addAndRemove_renumber_upTo32767Entries()
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

void TestStoredSettings::library_readListSummary_namesFailures()
{
    using namespace listbytes;
    RecordingNotice notice;
    const auto summary = [&](const QString &name) {
        const ListSummary read = readListSummary(programFile(name), notice);
        QString shown = QStringList{read.name, read.description, read.failure}.join(u" / "_s);
        return shown.replace(m_program.path() + u'/', QString());
    };
    write(programFile(u"good.list"_s), header() + field(accented) + field(colors) + int32(1));
    QCOMPARE(summary(u"good.list"_s), u"Colors / \u00e9\u20ac\u0153 / "_s);
    QCOMPARE(summary(u"notes.txt"_s), u" /  / "_s);
    QCOMPARE(notice.messages, QStringList{u"Invalid File"_s});
    // Every word is read, so a list damaged after its name fails too.
    write(programFile(u"damaged.list"_s), colorsFile.left(80));
    QCOMPARE(summary(u"damaged.list"_s), u" /  / damaged.list: the file ends in the middle of an entry (at byte 79)"_s);
    QCOMPARE(summary(u"missing.lxg"_s), u" /  / missing.lxg: the file does not exist"_s);
    QCOMPARE(summary(u"folder.lxg"_s), u" /  / folder.lxg: this is a folder, not a list file"_s);
    QCOMPARE(notice.messages.size(), 1);
}

void TestStoredSettings::values_restore_eachControlTakesWhatItAccepts_data()
{
    QTest::addColumn<QString>("stored"); // key=text
    QTest::addColumn<QString>("after"); // before: Check1 0, Check2 1, Combo1 "Lower Case Only"

    QTest::addRow("nothing stored: all kept") << QString() << QString();
    QTest::addRow("caption, any text") << u"Frame2=Mine"_s << u"Mine"_s;
    QTest::addRow("text box, any text") << u"Text1=abc"_s << u"abc"_s;
    QTest::addRow("1 ticks") << u"Check1=1"_s << u"1"_s;
    QTest::addRow("1.0 is the number 1") << u"Check1=1.0"_s << u"1"_s;
    QTest::addRow("blanks around 0") << u"Check2= 0 "_s << u"0"_s;
    QTest::addRow("2 is no tick value") << u"Check1=2"_s << u"0"_s;
    QTest::addRow("0.5 is no tick value") << u"Check2=0.5"_s << u"1"_s;
    QTest::addRow("letters are no tick value") << u"Check1=yes"_s << u"0"_s;
    QTest::addRow("an item") << u"Combo1=Upper Case Only"_s << u"Upper Case Only"_s;
    QTest::addRow("item in other letter case") << u"Combo1=upper case only"_s << u"Lower Case Only"_s;
    QTest::addRow("item with a trailing blank") << u"Combo1=Upper and Lower Case "_s << u"Lower Case Only"_s;
    QTest::addRow("no item, empty") << u"Combo1="_s << u"Lower Case Only"_s;
}

void TestStoredSettings::values_restore_eachControlTakesWhatItAccepts()
{
    QFETCH(QString, stored);
    QFETCH(QString, after);
    const QString key = stored.section(u'=', 0, 0);
    MemorySettingsStore store;
    if (!key.isEmpty())
        store.values[{u"Values"_s, key}] = stored.section(u'=', 1);
    StoredControls controls;
    controls.settings.letterCase = u"Lower Case Only"_s;
    controls.settings.specialCharacters = true;
    const StoredControls before = controls;

    storedSettings::restore(store, controls);

    for (const QString &other : storedSettings::keys()) {
        const QString expected = other == key ? after : storedSettings::principalText(before, other);
        QCOMPARE(storedSettings::principalText(controls, other), expected);
    }
}

void TestStoredSettings::settingsFile_holdsLibraryAndValues()
{
    const QString ini = programFile(u"lexiglow.conf"_s);
    StoredControls controls;
    controls.frameCaption = u"Einstellungen"_s;
    controls.settings = {u"40"_s, u"six"_s, u"25"_s, u"Upper Case Only"_s, false, true}; // stored unvalidated
    {
        QSettingsStore store(ini);
        ListLibrary library(store);
        library.loadf(m_program.path());
        QVERIFY(storedSettings::store(store, controls));
    }
    QCOMPARE(QString::fromUtf8(listbytes::read(ini)),
             u"[Values]\nCheck1=0\nCheck2=1\nCombo1=Upper Case Only\nFrame2=Einstellungen\nText1=40\nText2=six\nText3=25\nText4=\n\n"
             "[passfiles]\ncount=3\npassfile1=%1/a.lxg\npassfile2=%1/b.lxg\npassfile3=%1/c.lxg\n"_s.arg(m_program.path()));

    // Read back; a letter case with no item chosen first becomes the first item.
    StoredControls restored{.settings = {.letterCase = QString()}};
    storedSettings::restore(QSettingsStore(ini), restored);
    QCOMPARE(restored, controls);
    MemorySettingsStore noItem;
    noItem.values[{u"Values"_s, u"Combo1"_s}] = u"Title Case"_s;
    restored = StoredControls{.settings = {.letterCase = QString()}};
    storedSettings::restore(noItem, restored);
    QCOMPARE(restored.settings.letterCase, u"Upper and Lower Case"_s);

    // Written atomically: a new file renamed over the old one, so a crash
    // mid-write leaves the old library or the new, never a mix of both.
    const ino_t before = inodeOf(ini);
    {
        QSettingsStore store(ini);
        store.setValue(u"passfiles"_s, u"count"_s, u"0"_s);
        QVERIFY(store.flush());
    }
    QVERIFY(inodeOf(ini) != before);
    QCOMPARE(QDir(m_program.path()).entryList({u"lexiglow*"_s}, QDir::Files | QDir::Hidden), QStringList{u"lexiglow.conf"_s});

    // A value written by hand with commas reads back as the text it was.
    listbytes::write(ini, "[passfiles]\ncount=1\npassfile1=/my lists/a, b.lxg\n");
    QCOMPARE(QSettingsStore(ini).value(u"passfiles"_s, u"passfile1"_s, u"0"_s), u"/my lists/a, b.lxg"_s);

    // A settings file that cannot be written keeps its values in memory, and the library too.
    QSettingsStore unwritable(programFile(u"notes.txt"_s) + u"/inside.conf"_s);
    ListLibrary library(unwritable);
    QCOMPARE(library.add(u"/x.lxg"_s), std::optional<qsizetype>(1));
    QVERIFY(!library.savef());
    QVERIFY(!storedSettings::store(unwritable, controls));
    QCOMPARE(library.count(), 1);
    QCOMPARE(unwritable.value(u"passfiles"_s, u"passfile1"_s, u"0"_s), u"/x.lxg"_s);
}

QTEST_GUILESS_MAIN(TestStoredSettings)
#include "tst_storedsettings.moc"
