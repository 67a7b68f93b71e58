#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <functional>

class QIODevice;

namespace lexiglow {

class CBase64;

// Writes a list file entry by entry: the magic, the version, the description
// and the name at once, each word as it comes, and the count, which stands
// before the words, once the last word is known. So a list of any length
// costs no memory for its words. Every failure is a FileError that names the
// file; what was written so far is then no list file.
class ListFileWriter final
{
public:
    // Writes what comes before the words to device, which is open for writing
    // and can seek; fileName names it in failures.
    ListFileWriter(QIODevice &device, const QString &fileName, const CBase64 &codec, const QString &description,
                   const QString &name);
    Q_DISABLE_COPY_MOVE(ListFileWriter)

    void addWord(QStringView word);
    qint64 wordCount() const { return m_count; }
    // Writes the count in its place: the device then holds the whole file.
    void finish();

    // Replaces fileName atomically with what write puts on the device it is
    // given: an old file stays byte for byte unless every byte was written
    // and stored. Refuses a target that is there but is not a plain file (a
    // device node, or a link to one), which would be replaced by a plain
    // file. Throws FileError, and passes on what write throws.
    static void replaceFile(const QString &fileName, const std::function<void(QIODevice &)> &write);

    // Writes one field entry for text at the device's position.
    static void writeField(QIODevice &device, const CBase64 &codec, QStringView text, const QString &fileName);

private:
    static QByteArray fieldEntry(const CBase64 &codec, QStringView text, const QString &fileName);
    void appendField(QStringView text);

    QIODevice &m_device;
    QString m_fileName;
    const CBase64 &m_codec;
    qint64 m_countPosition = 0;
    qint64 m_count = 0;
    QByteArray m_pending;
};

} // namespace lexiglow
