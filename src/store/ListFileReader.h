#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

namespace lexiglow {

// Reads a list file front to back from a device through a buffer of its own,
// so that a file of any size is read in large blocks and never held whole in
// memory. Every shortfall is a FileError that names the file.
class ListFileReader final
{
public:
    // Reads from device, which is open for reading; fileName names it in
    // every failure. A device that is not sequential tells its size, which
    // bounds what remaining() promises.
    ListFileReader(QIODevice &device, const QString &fileName);
    Q_DISABLE_COPY_MOVE(ListFileReader)

    // Opens a list file for reading. Throws FileError when the file is
    // missing, is not a plain file or cannot be opened for reading.
    static std::unique_ptr<QFile> open(const QString &fileName);

    const QString &fileName() const { return m_fileName; }

    // The next count bytes; valid until the next call. Throws FileError when
    // the file ends first.
    QByteArrayView take(qsizetype count)
    {
        // Most entries are already in the buffer; only the rest costs a call.
        if (m_end - m_start < count)
            return takeSlowly(count);
        const QByteArrayView bytes(m_buffer.constData() + m_start, count);
        m_start += count;
        m_consumed += count;
        return bytes;
    }
    // Like take, but a file that ends first gives a shorter view.
    QByteArrayView takeAtMost(qsizetype count);
    qint16 takeInt16();
    quint16 takeUInt16();
    qint32 takeInt32();

    // Bytes not yet taken, as far as the device's size at the start tells.
    // A size says nothing of the bytes a sparse file really holds, so this
    // bounds a claim without backing it.
    qint64 remaining() const;
    qint64 position() const { return m_consumed; }

    [[noreturn]] void fail(const QString &problem) const;

private:
    QByteArrayView takeSlowly(qsizetype count);
    qsizetype fill(qsizetype count);

    QString m_fileName;
    QIODevice &m_device;
    QByteArray m_buffer;
    qsizetype m_start = 0;
    qsizetype m_end = 0;
    qint64 m_size = 0;
    qint64 m_consumed = 0;
};

} // namespace lexiglow
