#include "support/RecordingNotice.h"

#include "store/wordList.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace lexiglow;
using namespace Qt::StringLiterals;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One line of ASCII text with its newline.
QString singleLine(const QString &path)
{
    const QByteArray bytes = fileBytes(path);
    if (!bytes.endsWith('\n') || bytes.count('\n') != 1 || bytes.contains('\r'))
        return {};
    for (char c : bytes) {
        if (quint8(c) > 127)
            return {};
    }
    return QString::fromLatin1(bytes.chopped(1));
}

QStringList listFolders()
{
    const QDir sources(QStringLiteral(WORDLIST_SOURCES));
    return sources.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestWordLists final : public QObject
{
    Q_OBJECT

private slots:
    void atLeastEightLists();
    void listFollowsTheRules_data();
    void listFollowsTheRules();
    void builtListMatchesItsSources_data();
    void builtListMatchesItsSources();
};

void TestWordLists::atLeastEightLists()
{
    QVERIFY2(listFolders().size() >= 8, qPrintable(listFolders().join(u' ')));
}

void TestWordLists::listFollowsTheRules_data()
{
    QTest::addColumn<QString>("folder");
    for (const QString &id : listFolders())
        QTest::addRow("%s", qPrintable(id)) << QDir(QStringLiteral(WORDLIST_SOURCES)).filePath(id);
}

void TestWordLists::listFollowsTheRules()
{
    QFETCH(QString, folder);
    const QDir dir(folder);
    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name),
             (QStringList{u"description.txt"_s, u"name.txt"_s, u"words.txt"_s}));

    const QString name = singleLine(dir.filePath(u"name.txt"_s));
    const QString description = singleLine(dir.filePath(u"description.txt"_s));
    QVERIFY(!name.trimmed().isEmpty() && name.size() <= 14);
    QVERIFY(!description.trimmed().isEmpty() && description.size() <= 40);

    const QByteArray bytes = fileBytes(dir.filePath(u"words.txt"_s));
    QVERIFY(bytes.endsWith('\n'));
    QVERIFY(!bytes.contains('\r'));
    const QStringList words = QString::fromLatin1(bytes.chopped(1)).split(u'\n');
    QVERIFY2(words.size() >= 300, qPrintable(QString::number(words.size())));

    // Easy to type on any keyboard, 4 to 9 letters, capitalised.
    const QRegularExpression shape(u"^[A-Z][a-z]{3,8}$"_s);
    // Words that must never appear (whole words: "Grape" and "Shell" are fine).
    static const QSet<QString> unwanted{
        u"kill"_s, u"dead"_s, u"gun"_s, u"bomb"_s, u"drug"_s, u"drugs"_s, u"nazi"_s, u"slave"_s, u"sexy"_s,
        u"damn"_s, u"hell"_s, u"crap"_s, u"piss"_s, u"dick"_s, u"cock"_s, u"arse"_s, u"bitch"_s,
        u"bastard"_s, u"whore"_s, u"porn"_s, u"nude"_s, u"naked"_s, u"rape"_s, u"murder"_s, u"blood"_s,
        u"suicide"_s, u"weed"_s, u"booze"_s, u"knife"_s, u"rifle"_s, u"pistol"_s, u"corpse"_s, u"hooker"_s};
    QSet<QString> seen;
    QString previous;
    for (const QString &word : words) {
        QVERIFY2(shape.match(word).hasMatch(), qPrintable(word));
        const QString lower = word.toLower();
        QVERIFY2(!seen.contains(lower), qPrintable(u"duplicate "_s + word));
        seen.insert(lower);
        QVERIFY2(previous.compare(word, Qt::CaseInsensitive) < 0, qPrintable(u"out of order: "_s + word));
        previous = word;
        QVERIFY2(!unwanted.contains(lower), qPrintable(word));
    }
}

void TestWordLists::builtListMatchesItsSources_data()
{
    listFollowsTheRules_data();
}

void TestWordLists::builtListMatchesItsSources()
{
    QFETCH(QString, folder);
    const QDir dir(folder);
    const QString built = QDir(QStringLiteral(BUILT_LISTS)).filePath(dir.dirName() + u".lxg"_s);
    RecordingNotice notice;
    wordList list(notice);

    list.ReadData(built);

    QCOMPARE(list.getname(), singleLine(dir.filePath(u"name.txt"_s)));
    QCOMPARE(list.getdesc(), singleLine(dir.filePath(u"description.txt"_s)));
    QCOMPARE(list.getlist().words(), QString::fromLatin1(fileBytes(dir.filePath(u"words.txt"_s))).split(u'\n', Qt::SkipEmptyParts));
    QVERIFY(notice.messages.isEmpty());
}

QTEST_GUILESS_MAIN(TestWordLists)
#include "tst_wordlists.moc"
