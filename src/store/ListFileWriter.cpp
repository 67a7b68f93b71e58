#include "store/ListFileWriter.h"

#include "Version.h"
#include "store/CBase64.h"
#include "store/FileError.h"
#include "store/ListFileFormat.h"

#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>
#include <QtEndian>

namespace lexiglow {

namespace {

using listfile::lengthTag;
using listfile::textTag;
// Entries are gathered up to this many bytes before they go to the device.
constexpr qsizetype blockSize = 64 * 1024;

[[noreturn]] void failWriting(const QIODevice &device, const QString &fileName)
{
    throw FileError(fileName, QStringLiteral("the file cannot be written (%1)").arg(device.errorString()));
}

void writeAll(QIODevice &device, QByteArrayView bytes, const QString &fileName)
{
    if (device.write(bytes.data(), bytes.size()) != bytes.size())
        failWriting(device, fileName);
}

template<typename T>
void appendLittleEndian(QByteArray &bytes, T value)
{
    char buffer[sizeof(T)];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, sizeof(T));
}

} // namespace

ListFileWriter::ListFileWriter(QIODevice &device, const QString &fileName, const CBase64 &codec,
                               const QString &description, const QString &name)
    : m_device(device)
    , m_fileName(fileName)
    , m_codec(codec)
{
    QByteArray header(listfile::magic, listfile::magicSize);
    appendLittleEndian(header, qint16(versionMajor));
    m_pending = header;
    appendField(description);
    appendField(name);
    m_countPosition = m_device.pos() + m_pending.size();
    m_pending.append(4, '\0');
}

void ListFileWriter::addWord(QStringView word)
{
    if (m_count == std::numeric_limits<qint32>::max())
        throw FileError(m_fileName, QStringLiteral("the list has too many words for a list file"));
    appendField(word);
    ++m_count;
    if (m_pending.size() >= blockSize) {
        writeAll(m_device, m_pending, m_fileName);
        m_pending.clear();
    }
}

void ListFileWriter::appendField(QStringView text)
{
    m_pending.append(fieldEntry(m_codec, text, m_fileName));
}

void ListFileWriter::finish()
{
    writeAll(m_device, m_pending, m_fileName);
    m_pending.clear();
    const qint64 end = m_device.pos();
    QByteArray count;
    appendLittleEndian(count, qint32(m_count));
    if (!m_device.seek(m_countPosition))
        failWriting(m_device, m_fileName);
    writeAll(m_device, count, m_fileName);
    if (!m_device.seek(end))
        failWriting(m_device, m_fileName);
}

void ListFileWriter::replaceFile(const QString &fileName, const std::function<void(QIODevice &)> &write)
{
    if (const QFileInfo target(fileName); target.exists() && !target.isFile()) {
        throw FileError(fileName, target.isDir() ? QStringLiteral("this is a folder, not a list file")
                                                 : QStringLiteral("this is not a plain file"));
    }
    // Unbuffered, so that every write reports its own failure with its cause.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw FileError(fileName, QStringLiteral("the file cannot be created (%1)").arg(file.errorString()));
    write(file);
    // commit() does not report a failure of its own last flush: nothing may
    // be left for it.
    if (!file.flush())
        failWriting(file, fileName);
    if (!file.commit())
        throw FileError(fileName, QStringLiteral("the file cannot be saved (%1)").arg(file.errorString()));
}

void ListFileWriter::writeField(QIODevice &device, const CBase64 &codec, QStringView text, const QString &fileName)
{
    writeAll(device, fieldEntry(codec, text, fileName), fileName);
}

QByteArray ListFileWriter::fieldEntry(const CBase64 &codec, QStringView text, const QString &fileName)
{
    const QString enciphered = listfile::applyCipher(text);
    QByteArray utf16le;
    utf16le.reserve(enciphered.size() * 2);
    for (const QChar ch : enciphered) {
        utf16le.append(char(ch.unicode() & 0xFF));
        utf16le.append(char(ch.unicode() >> 8));
    }
    const QByteArray base64 = codec.encodeToCodes(utf16le);
    if (base64.size() > std::numeric_limits<quint16>::max()) {
        throw FileError(fileName, QStringLiteral("a text of %1 characters is too long for a list file (at most %2)")
                                      .arg(text.size())
                                      .arg(listfile::maxFieldLength));
    }

    QByteArray entry;
    entry.reserve(10 + base64.size());
    appendLittleEndian(entry, lengthTag);
    appendLittleEndian(entry, qint32(base64.size()));
    appendLittleEndian(entry, textTag);
    appendLittleEndian(entry, quint16(base64.size()));
    entry.append(base64);
    return entry;
}

} // namespace lexiglow
