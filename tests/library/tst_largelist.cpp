#include "library/LargeList.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace lexiglow;
using namespace Qt::StringLiterals;

// Where the large word list is found from the program's folder, in folders laid out as the build tree and
// the installed tree lay them out (INSTALLED_PROGRAM_DIR and INSTALLED_LISTS_DIR are the install's own
// folders under its prefix), and in this build's own tree.
class TestLargeList final : public QObject
{
    Q_OBJECT

private slots:
    void largeListPath_findsTheListWhereBuildOrInstallPutsIt_data()
    {
        QTest::addColumn<QString>("programFolder"); // none: no folder, and the working folder holds lists/common.lxg
        QTest::addColumn<QString>("list");
        QTest::addColumn<bool>("listIsFolder");
        QTest::addColumn<bool>("found");
        const QString installedProgram = u"usr/" INSTALLED_PROGRAM_DIR ""_s;
        const QString installedList = u"usr/" INSTALLED_LISTS_DIR "/common.lxg"_s;
        QTest::addRow("build tree") << u"bin"_s << u"bin/lists/common.lxg"_s << false << true;
        QTest::addRow("installed") << installedProgram << installedList << false << true;
        QTest::addRow("installed, program folder named with a slash at its end")
            << installedProgram + u'/' << installedList << false << true;
        QTest::addRow("no list") << u"bin"_s << u"bin/lists/other.lxg"_s << false << false;
        QTest::addRow("beside the program is not where it ships") << u"bin"_s << u"bin/common.lxg"_s << false << false;
        QTest::addRow("a folder of that name") << u"bin"_s << u"bin/lists/common.lxg"_s << true << false;
        QTest::addRow("installed elsewhere") << installedProgram << u"share/lexiglow/lists/common.lxg"_s << false << false;
        QTest::addRow("no program folder") << QString() << u"lists/common.lxg"_s << false << false;
    }

    void largeListPath_findsTheListWhereBuildOrInstallPutsIt()
    {
        QFETCH(QString, programFolder);
        QFETCH(QString, list);
        QFETCH(bool, listIsFolder);
        QFETCH(bool, found);
        const QTemporaryDir dir;
        const QString made = dir.filePath(list);
        QVERIFY(QDir().mkpath(dir.filePath(programFolder)) && QDir().mkpath(listIsFolder ? made : QFileInfo(made).path()));
        QVERIFY(listIsFolder || QFile(made).open(QIODevice::WriteOnly));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const QString path = largeListPath(programFolder.isEmpty() ? QString() : dir.filePath(programFolder));
        QVERIFY(QDir::setCurrent(previous));
        QCOMPARE(path, found ? QDir::cleanPath(made) : QString());
    }

    // This build's own program folder: the large list is where the build puts it.
    void buildTree_largeListFound()
    {
        const QString programFolder = QStringLiteral(BUILT_PROGRAM_FOLDER);
        QCOMPARE(largeListPath(programFolder), QDir::cleanPath(programFolder + u"/lists/common.lxg"_s));
    }
};

QTEST_GUILESS_MAIN(TestLargeList)
#include "tst_largelist.moc"
