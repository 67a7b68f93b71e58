#pragma once

#include "platform/Notice.h"
#include "store/wordList.h"

#include <QDir>
#include <QRandomGenerator>
#include <QSet>
#include <QStringList>

// Word lists made up for measuring: words of 4 to 9 letters, capitalised
// like the shipped ones.
class SilentNotice final : public lexiglow::Notice
{
public:
    void tell(const QString &) override {}
};

inline QStringList madeUpWords(qsizetype count, quint32 seed)
{
    QRandomGenerator random(seed);
    QStringList words;
    words.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        QString word(4 + random.bounded(6), Qt::Uninitialized);
        for (QChar &ch : word)
            ch = QChar(u'a' + random.bounded(26));
        word[0] = word[0].toUpper();
        words.append(word);
    }
    return words;
}

// A list whose words run into one another as much as words can: made-up
// lower-case words of 4 to 12 letters, each with every start of three letters
// or more, until there are count distinct words ("abc", "abcd", "abcde"...).
// Forced to one case or not, nearly every word begins others, so that the
// strength model has the most to follow.
inline QStringList prefixDenseWords(qsizetype count, quint32 seed)
{
    QRandomGenerator random(seed);
    QSet<QString> seen;
    QStringList words;
    while (words.size() < count) {
        QString word(4 + random.bounded(9), Qt::Uninitialized);
        for (QChar &ch : word)
            ch = QChar(u'a' + random.bounded(26));
        for (qsizetype length = 3; length <= word.size() && words.size() < count; ++length) {
            const QString start = word.left(length);
            if (!seen.contains(start)) {
                seen.insert(start);
                words.append(start);
            }
        }
    }
    return words;
}

inline void writeList(const QString &path, const QStringList &words)
{
    SilentNotice notice;
    lexiglow::wordList list(notice);
    list.setname(QStringLiteral("Bench"));
    for (const QString &word : words)
        list.addword(word);
    list.addword(QString());
    list.SaveData(path);
}

// The words' raw text: each word and a line break, in UTF-8.
inline qint64 rawTextSize(const QStringList &words)
{
    qint64 size = 0;
    for (const QString &word : words)
        size += word.toUtf8().size() + 1;
    return size;
}
