#include "support/ListFileBytes.h"

#include "platform/SettingsStore.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace lexiglow;
using namespace Qt::StringLiterals;

class TestSettingsStore final : public QObject
{
    Q_OBJECT

private slots:
    void flush_replacesFileAtomically();
    void flush_unwritableLocation_keepsValuesAndOldFile();
};

namespace {

ino_t inodeOf(const QString &path)
{
    struct stat status;
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

} // namespace

// A crash while the library is written must leave the old file or the new one,
// never a mix: the new content goes to a file of its own, renamed over the old.
void TestSettingsStore::flush_replacesFileAtomically()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"lexiglow.conf"_s);
    listbytes::write(file, "[passfiles]\ncount=1\npassfile1=/lists/old.lxg\n");
    const ino_t before = inodeOf(file);

    QSettingsStore store(file);
    store.setValue(u"passfiles"_s, u"passfile1"_s, u"/lists/new.lxg"_s);
    QVERIFY(store.flush());

    QVERIFY(inodeOf(file) != before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"lexiglow.conf"_s});
    QVERIFY(listbytes::read(file).contains("passfile1=/lists/new.lxg"));
}

void TestSettingsStore::flush_unwritableLocation_keepsValuesAndOldFile()
{
    QTemporaryDir dir;
    // The settings' folder is a file, so nothing can be created in it.
    listbytes::write(dir.filePath(u"lexiglow"_s), "not a folder");
    QSettingsStore store(dir.filePath(u"lexiglow/lexiglow.conf"_s));

    store.setValue(u"passfiles"_s, u"count"_s, u"2"_s);

    QVERIFY(!store.flush());
    QCOMPARE(store.value(u"passfiles"_s, u"count"_s, u"0"_s), u"2"_s);
    QCOMPARE(listbytes::read(dir.filePath(u"lexiglow"_s)), QByteArray("not a folder"));
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
