#pragma once

#include "store/ListFileFormat.h"
#include "store/WordArray.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QIODevice;

namespace lexiglow {

class CBase64;
class ListFileReader;
class Notice;

// One word list in memory: name, description, creation date, version and
// words, and its file form.
//
// A list file is the magic "LEXIG", the writing program's major version as a
// 16-bit integer, the description, the name, a 32-bit count and that many
// words, the last of them empty. Every text is stored as a field: enciphered
// character by character, taken as UTF-16LE and Base64-encoded, in a length
// entry (tag 3, 32-bit length) and a text entry (tag 8, 16-bit length, the
// Base64 text). All integers are little-endian.
class wordList final
{
public:
    // Tells the user "Invalid File" through notice when asked to read a file
    // that is not a list file.
    explicit wordList(Notice &notice);
    ~wordList();
    Q_DISABLE_COPY_MOVE(wordList)

    WordArray getlist() const;
    void setlist(const WordArray &sl);
    // Takes the number at the start of d, rounded half to even. Returns false
    // and keeps the old version when it does not fit 16 bits.
    bool setver(QStringView d);
    QString getver() const;
    void setdesc(const QString &d);
    QString getdesc() const;
    void setcreate(const QDateTime &sc);
    QDateTime getcreate() const;
    void addword(const QString &word);
    void setname(const QString &name);
    QString getname() const;

    // Replaces the file atomically: an old file stays untouched unless the
    // new one was written and stored completely. Refuses a target that is
    // there but is not a plain file. Throws FileError.
    void SaveData(const QString &filename);
    // Writes the file form to device, which can seek (the count is written
    // last); fileName names it in failures. Throws FileError when a write
    // fails.
    void SaveData(QIODevice &device, const QString &fileName);
    void saveField(const QString &fieldtext, QIODevice &file);
    QString loadField(ListFileReader &file);

    // Fills the record from a list file. A file that is not a list file is
    // reported to the user, leaves the record unchanged and gives false.
    // Throws FileError for a file that cannot be read or is damaged,
    // Base64Error for a field that is not Base64; the record is then
    // unchanged too, as nothing is kept before the whole file has been read.
    bool ReadData(const QString &filename);
    // Reads like ReadData, but hands each word to eachWord in file order
    // instead of keeping the words; the view is valid during the call only.
    // The name and description change once every word has been handed over.
    bool ReadData(const QString &filename, const std::function<void(QStringView)> &eachWord);
    // Both ways of reading, from a device open for reading that holds the
    // file from its current position; fileName names it in failures.
    bool ReadData(QIODevice &device, const QString &fileName);
    bool ReadData(QIODevice &device, const QString &fileName, const std::function<void(QStringView)> &eachWord);

    static QString Encrypt(QStringView txt);
    static QString Decrypt(QStringView txt);

    static constexpr quint8 cipherKey = listfile::cipherKey;
    // The longest text whose Base64 form fits a text entry's 16-bit count.
    static constexpr qsizetype maxFieldLength = listfile::maxFieldLength;
    // The creation date of a fresh record: midnight, 30 December 1899.
    static QDateTime zeroDate();

private:
    // What a list file holds before its words.
    struct Header
    {
        QString description;
        QString name;
        qint32 count = 0;
    };

    CBase64 &codec();
    // Nothing when the file is not a list file.
    std::optional<Header> readHeader(ListFileReader &in);
    void loadFieldInto(ListFileReader &in, QString &text);
    void checkSavable(const QString &filename) const;

    Notice &m_notice;
    QString m_name;
    QString m_description;
    QDateTime m_created;
    qint16 m_version = 0;
    WordArray m_words;
    std::unique_ptr<CBase64> m_codec;
};

} // namespace lexiglow
