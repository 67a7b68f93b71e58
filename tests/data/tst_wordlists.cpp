#include "support/ListFileBytes.h"
#include "support/RecordingNotice.h"

#include "store/wordList.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace lexiglow;
using namespace Qt::StringLiterals;

// The word lists that ship with the program: their sources follow data/wordlists/README, and the build
// turns each into a list file that holds exactly its sources.
class TestWordLists final : public QObject
{
    Q_OBJECT

private slots:
    void shippedList_followsTheRules_builtFileMatches_data();
    void shippedList_followsTheRules_builtFileMatches();
};

void TestWordLists::shippedList_followsTheRules_builtFileMatches_data()
{
    QTest::addColumn<QString>("id");
    const QStringList ids = QDir(QStringLiteral(WORDLIST_SOURCES)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &id : ids)
        QTest::addRow("%s", qPrintable(id)) << id;
    QVERIFY2(ids.size() >= 8, qPrintable(ids.join(u' ')));
}

void TestWordLists::shippedList_followsTheRules_builtFileMatches()
{
    QFETCH(QString, id);
    const QDir dir(QStringLiteral(WORDLIST_SOURCES) + u'/' + id);
    const QStringList files{u"description.txt"_s, u"name.txt"_s, u"words.txt"_s};
    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name), files);
    // Printable ASCII in lines that each end in a line feed.
    QList<QStringList> lines;
    for (const QString &file : files) {
        const QString text = QString::fromLatin1(listbytes::read(dir.filePath(file)));
        QVERIFY2(QRegularExpression(u"^([ -~]+\\n)+$"_s).match(text).hasMatch(), qPrintable(file));
        lines.append(text.chopped(1).split(u'\n'));
    }
    const QString description = lines[0].join(u'\n'), name = lines[1].join(u'\n');
    QVERIFY2(lines[0].size() == 1 && description.size() <= 40 && !description.trimmed().isEmpty(), qPrintable(description));
    QVERIFY2(lines[1].size() == 1 && name.size() <= 14 && !name.trimmed().isEmpty(), qPrintable(name));
    const QStringList &words = lines[2];
    QVERIFY2(words.size() >= 300, qPrintable(QString::number(words.size())));

    // Capitalised, 4 to 9 letters; whole words only are unwanted: "Grape" and "Shell" are fine.
    const QRegularExpression shape(u"^[A-Z][a-z]{3,8}$"_s);
    static const QSet<QString> unwanted{
        u"kill"_s, u"dead"_s, u"gun"_s, u"bomb"_s, u"drug"_s, u"drugs"_s, u"nazi"_s, u"slave"_s, u"sexy"_s,
        u"damn"_s, u"hell"_s, u"crap"_s, u"piss"_s, u"dick"_s, u"cock"_s, u"arse"_s, u"bitch"_s,
        u"bastard"_s, u"whore"_s, u"porn"_s, u"nude"_s, u"naked"_s, u"rape"_s, u"murder"_s, u"blood"_s,
        u"suicide"_s, u"weed"_s, u"booze"_s, u"knife"_s, u"rifle"_s, u"pistol"_s, u"corpse"_s, u"hooker"_s};
    for (qsizetype i = 0; i < words.size(); ++i) {
        QVERIFY2(shape.match(words[i]).hasMatch() && !unwanted.contains(words[i].toLower()), qPrintable(words[i]));
        // Sorted without regard to case, so that no word repeats either.
        QVERIFY2(i == 0 || words[i - 1].compare(words[i], Qt::CaseInsensitive) < 0, qPrintable(words[i]));
    }

    RecordingNotice notice;
    wordList built(notice);
    built.ReadData(QStringLiteral(BUILT_LISTS) + u'/' + id + u".lxg"_s);
    QCOMPARE(built.getname(), name);
    QCOMPARE(built.getdesc(), description);
    QCOMPARE(built.getlist().words(), words);
    QVERIFY(notice.messages.isEmpty());
}

QTEST_GUILESS_MAIN(TestWordLists)
#include "tst_wordlists.moc"
