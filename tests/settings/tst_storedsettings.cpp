#include "support/ListFileBytes.h"
#include "support/MemorySettingsStore.h"

#include "library/ListLibrary.h"
#include "platform/SettingsStore.h"
#include "settings/StoredSettings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace lexiglow;
using namespace Qt::StringLiterals;

// What the program keeps in the user's settings: the library of list files in [passfiles], and the
// Advanced Settings values in [Values].
class TestStoredSettings final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_program;

private slots:
    void initTestCase()
    {
        // Of these, a first start finds a.lxg, b.lxg and c.lxg: plain, visible, ".lxg" in lower case, not in a
        // folder below (where the large list is).
        QVERIFY(QDir(m_program.path()).mkdir(u"folder.lxg"_s) && QDir(m_program.path()).mkdir(u"lists"_s));
        for (const QString &name : {u"b.lxg"_s, u"a.lxg"_s, u"c.lxg"_s, u".hidden.lxg"_s, u"upper.LXG"_s, u"notes.txt"_s, u"lists/d.lxg"_s})
            listbytes::write(m_program.filePath(name), "x");
    }

    void library_loadf_takesStoredLibrary_orScansProgramFolder_data()
    {
        QTest::addColumn<QString>("stored"); // keys of section [passfiles]
        QTest::addColumn<QString>("library"); // the program folder's files by name
        QTest::addColumn<QString>("warning");

        const QString scanned = u"a.lxg b.lxg c.lxg"_s;
        QTest::addRow("first start") << QString() << scanned << QString();
        QTest::addRow("count 0") << u"count=0 passfile1=/l/1.lxg"_s << scanned << QString();
        QTest::addRow("duplicates kept, a missing key reads 0, keys above the count ignored")
            << u"count=3 passfile1=/l/1.lxg passfile3=/l/1.lxg passfile4=/l/4.lxg"_s << u"/l/1.lxg 0 /l/1.lxg"_s << QString();
        // A damaged count keeps every entry stored, up to the highest; keys the library never writes are not entries.
        const QString damaged = u"The number of word lists in your settings, \"%1\", is damaged. "_s;
        for (const QString &count : {QString(), u"abc"_s, u"1e12"_s, u"-3"_s, u"1.5"_s, u"100000"_s, u"99999999999999999999"_s}) {
            QTest::addRow("count '%s'", qPrintable(count))
                << u"count=%1 passfile3=/l/3.lxg passfile1=/l/1.lxg passfile04=/x passfile32768=/x passfile+5=/x"_s.arg(count)
                << u"/l/1.lxg 0 /l/3.lxg"_s
                << damaged.arg(count.left(20) + (count.size() > 20 ? u"\u2026"_s : QString())) + u"Lexiglow has taken the 3 lists stored with it."_s;
        }
        QTest::addRow("damaged count alone") << u"count=x"_s << scanned
                                             << damaged.arg(u"x") + u"No list is stored with it, so Lexiglow has taken the lists in its own folder."_s;
    }

    void library_loadf_takesStoredLibrary_orScansProgramFolder()
    {
        QFETCH(QString, stored);
        QFETCH(QString, library);
        QFETCH(QString, warning);
        MemorySettingsStore store;
        for (const QString &value : stored.split(u' ', Qt::SkipEmptyParts))
            store.values[{u"passfiles"_s, value.section(u'=', 0, 0)}] = value.section(u'=', 1);
        ListLibrary loaded(store);

        loaded.loadf(m_program.path());

        QCOMPARE(loaded.passfiles().first(), QString());
        const QStringList entries = loaded.passfiles().mid(1);
        QCOMPARE(QStringList(entries).replaceInStrings(m_program.path() + u'/', QString()).join(u' '), library);
        QCOMPARE(loaded.warning(), warning);
        // Stored back whole.
        QCOMPARE(store.get(u"passfiles"_s, u"count"_s), QString::number(entries.size()));
        for (qsizetype entry = 1; entry <= entries.size(); ++entry)
            QCOMPARE(store.get(u"passfiles"_s, u"passfile"_s + QString::number(entry)), entries[entry - 1]);
    }

    // Each control takes what it accepts from a stored text and keeps what it holds otherwise; that a control
    // with nothing stored keeps its value is the dialog's to show (tst_advsettings).
    void values_applyText_eachControlTakesWhatItAccepts()
    {
        const std::pair<QString, QString> cases[] = { // key=text, then the control's text after
            {u"Frame2=Mine"_s, u"Mine"_s}, {u"Text1=abc"_s, u"abc"_s}, {u"Check1=1"_s, u"1"_s}, {u"Check2= 0.0 "_s, u"0"_s},
            {u"Check1=2"_s, u"0"_s}, {u"Check2=0.5"_s, u"1"_s}, {u"Check1=yes"_s, u"0"_s},
            {u"Combo1=Upper Case Only"_s, u"Upper Case Only"_s}, {u"Combo1=upper case only"_s, u"Lower Case Only"_s},
            {u"Combo1=Upper and Lower Case "_s, u"Lower Case Only"_s}, {u"Combo2=Never"_s, u"Never"_s},
            {u"Combo2=45 seconds"_s, u"30 seconds"_s}};
        for (const auto &[stored, after] : cases) {
            StoredControls controls{.settings = {.letterCase = u"Lower Case Only"_s, .specialCharacters = true}};
            const QString key = stored.section(u'=', 0, 0);
            storedSettings::applyText(controls, key, stored.section(u'=', 1));
            QCOMPARE(storedSettings::principalText(controls, key), after);
        }
    }

    // Stored unvalidated, under the keys the program has always used, and read back.
    void settingsFile_holdsLibraryAndValues()
    {
        const QString ini = m_program.filePath(u"lexiglow.conf"_s);
        const StoredControls controls{u"Einstellungen"_s, {u"40"_s, u"six"_s, u"25"_s, u"Upper Case Only"_s, false, true}};
        {
            QSettingsStore store(ini);
            QVERIFY(ListLibrary(store).loadf(m_program.path()) && storedSettings::store(store, controls));
        }
        QCOMPARE(QString::fromUtf8(listbytes::read(ini)),
                 u"[Values]\nCheck1=0\nCheck2=1\nCombo1=Upper Case Only\nCombo2=30 seconds\nFrame2=Einstellungen\nText1=40\nText2=six\nText3=25\nText4=\n\n"
                 "[passfiles]\ncount=3\npassfile1=%1/a.lxg\npassfile2=%1/b.lxg\npassfile3=%1/c.lxg\n"_s.arg(m_program.path()));
        StoredControls restored;
        storedSettings::restore(QSettingsStore(ini), restored);
        QCOMPARE(restored, controls);
    }

    // A store that cannot be written is told of by both; the library holds at most 32767 entries.
    void unwritableStoreIsTold_libraryHoldsAtMost32767Entries()
    {
        MemorySettingsStore store;
        store.writable = false;
        ListLibrary library(store);
        QVERIFY(!library.savef() && !storedSettings::store(store, {}));
        while (library.count() < 32767)
            QVERIFY(library.add(u"/x.lxg"_s));
        QCOMPARE(library.add(u"/x.lxg"_s), std::nullopt);
        QCOMPARE(library.count(), 32767);
    }
};

QTEST_GUILESS_MAIN(TestStoredSettings)
#include "tst_storedsettings.moc"
