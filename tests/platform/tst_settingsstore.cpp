#include "support/ListFileBytes.h"

#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <csignal>
#include <optional>
#include <thread>

#include <sys/resource.h>
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
        QTest::addRow("B changed other keys") << u"passfiles/count=2 passfiles/passfile2=/l/y.lxg"_s
                                              << u"Values/Text1=12 Values/Check1=1"_s
                                              << "[Values]\nCheck1=1\nText1=12\n\n" + libraryOfA;
        QTest::addRow("B set what it read") << u"passfiles/count=2 passfiles/passfile2=/l/y.lxg Values/Text1=10"_s
                                            << u"passfiles/count=1 passfiles/passfile1=/l/x.lxg Values/Text1=8"_s
                                            << "[Values]\nText1=10\n\n" + libraryOfA;
        QTest::addRow("both changed a key: the later save wins") << u"Values/Text1=10"_s << u"Values/Text1=12"_s
                                                                  << "[Values]\nText1=12\n\n[passfiles]\ncount=1\npassfile1=/l/x.lxg\n"_ba;
    }

    void flush_writesOnlyWhatThisStoreChanged_overWhatAnotherStoredMeanwhile()
    {
        QFETCH(QString, changesOfA);
        QFETCH(QString, changesOfB);
        QFETCH(QByteArray, file);
        QSettingsStore a(m_ini), b(m_ini);
        set(a, changesOfA);
        QVERIFY(a.flush());

        set(b, changesOfB);
        QVERIFY(b.flush());

        QCOMPARE(listbytes::read(m_ini), file);
        // Each keeps working on what it read and changed itself.
        QCOMPARE(b.value(u"passfiles"_s, u"count"_s, {}), u"1"_s);
    }

    // Rewritten by hand at the same size and time of change, which QSettings would take for the file it read
    // before: a store reads what is there, a value with commas (a list to QSettings) as the text it is, and
    // stores what it read without writing anything.
    void fileRewrittenByHand_isReadAsItIsNow_andKeptByteForByte()
    {
        const QByteArray byHand = "; my lists\n[passfiles]\ncount = 1\npassfile1 = /l/a, b.lxg\n";
        const QFileInfo old(m_ini);
        QCOMPARE(old.size(), byHand.size());
        const QDateTime changed = old.lastModified();
        QSettingsStore before(m_ini);
        listbytes::write(m_ini, byHand);
        QFile file(m_ini);
        QVERIFY(file.open(QIODevice::ReadOnly) && file.setFileTime(changed, QFileDevice::FileModificationTime));

        QSettingsStore store(m_ini);
        QCOMPARE(store.value(u"passfiles"_s, u"passfile1"_s, {}), u"/l/a, b.lxg"_s);
        set(store, u"passfiles/count=1"_s);
        store.setValue(u"passfiles"_s, u"passfile1"_s, u"/l/a, b.lxg"_s);
        QVERIFY(store.flush());
        QCOMPARE(listbytes::read(m_ini), byHand);
        // The store made before puts its change into the file as it is now. The file is replaced, not written
        // over: a reader of the old one still reads it whole, and nothing else is left beside it.
        before.setValue(u"Values"_s, u"Check1"_s, u"1"_s);
        QVERIFY(before.flush());
        QCOMPARE(listbytes::read(m_ini), "[Values]\nCheck1=1\n\n[passfiles]\ncount=1\npassfile1=/l/a, b.lxg\n"_ba);
        QCOMPARE(file.readAll(), byHand);
        QCOMPARE(QDir(m_folder->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{u"lexiglow.conf"_s});
    }

    // Between this store's read and its save the file became something it may not read or store over, or
    // the disk filled up (files held to 4 KB): the save fails, the file stays as it is, byte for byte, and the
    // store keeps its values.
    void flush_thatCannotReadOrWrite_failsLeavingFileAndValues_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addRow("FIFO") << u"fifo"_s;
        QTest::addRow("folder") << u"folder"_s;
        // Reading it fails with an input/output error, for root too.
        QTest::addRow("unreadable") << u"/proc/self/mem"_s;
        QTest::addRow("full disk") << u"full"_s;
    }

    void flush_thatCannotReadOrWrite_failsLeavingFileAndValues()
    {
        QFETCH(QString, fault);
        const auto state = [this] {
            const QFileInfo file(m_ini);
            return file.isSymLink() ? u"link"_s : file.isDir() ? u"folder"_s : file.isFile() ? QString::fromUtf8(listbytes::read(m_ini)) : u"other"_s;
        };
        QSettingsStore store(m_ini);
        store.setValue(u"Values"_s, u"Text1"_s, QString(5000, u'9'));
        if (fault != u"full")
            QVERIFY(QFile::remove(m_ini));
        if (fault == u"fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(m_ini).constData(), 0600), 0);
        else if (fault == u"folder")
            QVERIFY(QDir().mkdir(m_ini));
        else if (fault != u"full")
            QVERIFY(QFile::link(fault, m_ini));
        const QString before = state();
        rlimit saved{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const rlimit held = fault == u"full" ? rlimit{4096, saved.rlim_max} : saved;
        std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &held), 0);
        const bool flushed = store.flush();
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &saved), 0);

        QVERIFY(!flushed);
        QCOMPARE(state(), before);
        QCOMPARE(store.value(u"Values"_s, u"Text1"_s, {}), QString(5000, u'9'));
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
        std::thread first(writer, u"first"_s), second(writer, u"second"_s);
        first.join(), second.join();

        QCOMPARE(failures.load(), 0);
        const QSettingsStore result(m_ini);
        QCOMPARE(result.keys(u"first"_s).size(), saves);
        QCOMPARE(result.keys(u"second"_s).size(), saves);
        QCOMPARE(result.value(u"passfiles"_s, u"passfile1"_s, {}), u"/l/x.lxg"_s);
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
