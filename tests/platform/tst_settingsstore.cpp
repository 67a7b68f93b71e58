#include "support/ListFileBytes.h"

#include "library/ListLibrary.h"
#include "platform/SettingsStore.h"
#include "settings/StoredSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <optional>
#include <thread>

#include <sys/stat.h>

using namespace lexiglow;
using namespace Qt::StringLiterals;

// Two copies of the program, or the program and lxg, on one settings file: each store reads the file
// when it is made, and a save keeps what the other stored meanwhile.
class TestSettingsStore final : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_folder;
    QString m_ini;

    // "section/key=value ..." set in a store.
    static void set(SettingsStore &store, const QString &changes)
    {
        for (const QString &change : changes.split(u' ', Qt::SkipEmptyParts)) {
            const QString key = change.section(u'=', 0, 0);
            store.setValue(key.section(u'/', 0, 0), key.section(u'/', 1), change.section(u'=', 1));
        }
    }

private slots:
    void init()
    {
        m_folder.emplace();
        m_ini = m_folder->filePath(u"lexiglow.conf"_s);
        listbytes::write(m_ini, "[Values]\nText1=8\n\n[passfiles]\ncount=1\npassfile1=/l/x.lxg\n");
    }

    void flush_writesOnlyWhatThisStoreChanged_overWhatAnotherStoredMeanwhile_data()
    {
        QTest::addColumn<QString>("changesOfA"); // A and B both read the file, then A saves, then B
        QTest::addColumn<QString>("changesOfB");
        QTest::addColumn<QByteArray>("file");

        const QByteArray libraryOfA = "[passfiles]\ncount=2\npassfile1=/l/x.lxg\npassfile2=/l/y.lxg\n";
        QTest::addRow("B changed nothing") << u"passfiles/count=2 passfiles/passfile2=/l/y.lxg"_s << QString()
                                           << "[Values]\nText1=8\n\n" + libraryOfA;
        QTest::addRow("B changed other keys") << u"passfiles/count=2 passfiles/passfile2=/l/y.lxg"_s
                                              << u"Values/Text1=12 Values/Check1=1"_s
                                              << "[Values]\nCheck1=1\nText1=12\n\n" + libraryOfA;
        QTest::addRow("B set what it read") << u"passfiles/count=2 passfiles/passfile2=/l/y.lxg Values/Text1=10"_s
                                            << u"passfiles/count=1 passfiles/passfile1=/l/x.lxg Values/Text1=8"_s
                                            << "[Values]\nText1=10\n\n" + libraryOfA;
        QTest::addRow("B changed a key and set it back") << u"Values/Text1=10"_s << u"Values/Text1=9 Values/Text1=8"_s
                                                         << "[Values]\nText1=10\n\n[passfiles]\ncount=1\npassfile1=/l/x.lxg\n"_ba;
        QTest::addRow("both changed a key: the later save wins") << u"Values/Text1=10"_s << u"Values/Text1=12"_s
                                                                  << "[Values]\nText1=12\n\n[passfiles]\ncount=1\npassfile1=/l/x.lxg\n"_ba;
    }

    void flush_writesOnlyWhatThisStoreChanged_overWhatAnotherStoredMeanwhile()
    {
        QFETCH(QString, changesOfA);
        QFETCH(QString, changesOfB);
        QFETCH(QByteArray, file);
        QSettingsStore a(m_ini);
        QSettingsStore b(m_ini);
        set(a, changesOfA);
        QVERIFY(a.flush());

        set(b, changesOfB);
        QVERIFY(b.flush());

        QCOMPARE(listbytes::read(m_ini), file);
        // Each keeps working on what it read and changed itself.
        QCOMPARE(b.value(u"passfiles"_s, u"count"_s, {}), u"1"_s);
    }

    // Copy A adds a list and saves Advanced Settings; copy B, started with the same library, changed nothing
    // and saves its library on the way out.
    void twoCopies_libraryAndValuesOfOne_surviveTheOthersClose()
    {
        QSettingsStore storeA(m_ini);
        QSettingsStore storeB(m_ini);
        ListLibrary libraryA(storeA);
        ListLibrary libraryB(storeB);
        QVERIFY(libraryA.loadf(m_folder->path()) && libraryB.loadf(m_folder->path()));
        StoredControls controls;
        storedSettings::restore(storeA, controls);

        QVERIFY(libraryA.add(u"/l/y.lxg"_s));
        QVERIFY(libraryA.savef());
        controls.settings.minimumLength = u"12"_s;
        QVERIFY(storedSettings::store(storeA, controls));
        QVERIFY(libraryB.savef());

        QSettingsStore next(m_ini);
        ListLibrary library(next);
        library.read(m_folder->path());
        QCOMPARE(library.passfiles(), (QStringList{QString(), u"/l/x.lxg"_s, u"/l/y.lxg"_s}));
        StoredControls restored;
        storedSettings::restore(next, restored);
        QCOMPARE(restored, controls);
    }

    // QSettings trusts what it read of a file before while the file's size and time of change stay the same;
    // the store reads what is there.
    void read_ofFileReplacedWithSameSizeAndTime_takesWhatIsThere()
    {
        const QDateTime changed = QFileInfo(m_ini).lastModified();
        QSettingsStore a(m_ini);
        listbytes::write(m_ini, "[Values]\nText1=9\n\n[passfiles]\ncount=1\npassfile1=/l/z.lxg\n");
        QFile file(m_ini);
        QVERIFY(file.open(QIODevice::ReadOnly) && file.setFileTime(changed, QFileDevice::FileModificationTime));

        QCOMPARE(QSettingsStore(m_ini).value(u"Values"_s, u"Text1"_s, {}), u"9"_s);
        a.setValue(u"Values"_s, u"Check1"_s, u"1"_s);
        QVERIFY(a.flush());
        QCOMPARE(listbytes::read(m_ini), "[Values]\nCheck1=1\nText1=9\n\n[passfiles]\ncount=1\npassfile1=/l/z.lxg\n"_ba);
    }

    // A store that stores what it read writes nothing: the file keeps its bytes, written by hand.
    void flush_ofUnchangedValues_leavesFileUntouched()
    {
        const QByteArray byHand = "; mine\n[passfiles]\ncount = 1\npassfile1 = \"/my lists/a, b.lxg\"\n";
        listbytes::write(m_ini, byHand);
        QSettingsStore store(m_ini);
        set(store, u"passfiles/count=1"_s);
        store.setValue(u"passfiles"_s, u"passfile1"_s, u"/my lists/a, b.lxg"_s);
        QVERIFY(store.flush());
        QCOMPARE(listbytes::read(m_ini), byHand);
    }

    // Between this store's read and its save the file became something it may not read or store over.
    void flush_ofFileReplacedByWhatCannotBeRead_failsAndLeavesIt_data()
    {
        QTest::addColumn<QString>("replacement");
        QTest::addRow("FIFO") << u"fifo"_s;
        QTest::addRow("folder") << u"folder"_s;
        // Reading it fails with an input/output error, for root too.
        QTest::addRow("unreadable") << u"/proc/self/mem"_s;
    }

    void flush_ofFileReplacedByWhatCannotBeRead_failsAndLeavesIt()
    {
        QFETCH(QString, replacement);
        QSettingsStore store(m_ini);
        store.setValue(u"Values"_s, u"Text1"_s, u"9"_s);
        QVERIFY(QFile::remove(m_ini));
        if (replacement == u"fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(m_ini).constData(), 0600), 0);
        else if (replacement == u"folder")
            QVERIFY(QDir().mkdir(m_ini));
        else
            QVERIFY(QFile::link(replacement, m_ini));
        const QFileInfo before(m_ini);

        QVERIFY(!store.flush());

        const QFileInfo after(m_ini);
        QCOMPARE(after.isSymLink(), before.isSymLink());
        QCOMPARE(after.isFile(), before.isFile());
        QCOMPARE(after.isDir(), before.isDir());
        QCOMPARE(store.value(u"Values"_s, u"Text1"_s, {}), u"9"_s);
    }

    // Two writers saving at the same moment take turns: neither saves over a file the other has just read.
    void flush_atTheSameMomentAsAnother_losesNothingOfEither()
    {
        constexpr int saves = 40;
        std::atomic<int> failures = 0;
        const auto writer = [this, &failures](const QString &section) {
            QSettingsStore store(m_ini);
            for (int i = 0; i < saves; ++i) {
                store.setValue(section, u"key"_s + QString::number(i), QString::number(i));
                failures += store.flush() ? 0 : 1;
            }
        };
        std::thread first(writer, u"first"_s);
        std::thread second(writer, u"second"_s);
        first.join();
        second.join();

        QCOMPARE(failures.load(), 0);
        const QSettingsStore result(m_ini);
        QCOMPARE(result.keys(u"first"_s).size(), saves);
        QCOMPARE(result.keys(u"second"_s).size(), saves);
        QCOMPARE(result.value(u"passfiles"_s, u"passfile1"_s, {}), u"/l/x.lxg"_s);
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
