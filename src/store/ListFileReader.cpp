#include "store/ListFileReader.h"

#include "store/FileError.h"

#include <QFileInfo>
#include <QtEndian>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace lexiglow {

namespace {

constexpr qsizetype firstBlockSize = 512;
constexpr qsizetype blockSize = 64 * 1024;

} // namespace

ListFileReader::ListFileReader(QIODevice &device, const QString &fileName)
    : m_fileName(fileName)
    , m_device(device)
    , m_size(device.isSequential() ? std::numeric_limits<qint64>::max() : device.size() - device.pos())
{
}

std::unique_ptr<QFile> ListFileReader::open(const QString &fileName)
{
    const auto fail = [&](const QString &problem) { throw FileError(fileName, problem); };
    auto file = std::make_unique<QFile>(fileName);
#ifdef Q_OS_UNIX
    // Opened without blocking and checked on the open file itself, so that
    // nothing swapped in after a check (a FIFO, say) can make the read hang.
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        switch (errno) {
        case ENOENT:
            fail(QStringLiteral("the file does not exist"));
        case ELOOP:
            fail(QStringLiteral("the path runs in a loop of links"));
        case ENOTDIR:
            fail(QStringLiteral("the path goes through a file as if it were a folder"));
        default:
            fail(QStringLiteral("the file cannot be opened (%1)").arg(QString::fromLocal8Bit(std::strerror(errno))));
        }
    }
    struct stat status;
    const bool statted = ::fstat(fd, &status) == 0;
    if (!statted || !S_ISREG(status.st_mode)) {
        ::close(fd);
        fail(statted && S_ISDIR(status.st_mode) ? QStringLiteral("this is a folder, not a list file")
                                                : QStringLiteral("this is not a plain file"));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        fail(QStringLiteral("the file cannot be opened (%1)").arg(file->errorString()));
    }
#else
    const QFileInfo info(fileName);
    if (!info.exists())
        fail(QStringLiteral("the file does not exist"));
    if (info.isDir())
        fail(QStringLiteral("this is a folder, not a list file"));
    if (!info.isFile())
        fail(QStringLiteral("this is not a plain file"));
    if (!file->open(QIODevice::ReadOnly))
        fail(QStringLiteral("the file cannot be opened (%1)").arg(file->errorString()));
#endif
    return file;
}

QByteArrayView ListFileReader::takeSlowly(qsizetype count)
{
    const qint64 start = m_consumed;
    const QByteArrayView bytes = takeAtMost(count);
    if (bytes.size() < count)
        fail(QStringLiteral("the file ends in the middle of an entry (at byte %1)").arg(start));
    return bytes;
}

QByteArrayView ListFileReader::takeAtMost(qsizetype count)
{
    const qsizetype available = fill(count);
    const qsizetype taken = std::min(available, count);
    const QByteArrayView bytes(m_buffer.constData() + m_start, taken);
    m_start += taken;
    m_consumed += taken;
    return bytes;
}

qint16 ListFileReader::takeInt16()
{
    return qFromLittleEndian<qint16>(take(2).data());
}

quint16 ListFileReader::takeUInt16()
{
    return qFromLittleEndian<quint16>(take(2).data());
}

qint32 ListFileReader::takeInt32()
{
    return qFromLittleEndian<qint32>(take(4).data());
}

qint64 ListFileReader::remaining() const
{
    return std::max<qint64>(0, m_size - m_consumed);
}

void ListFileReader::fail(const QString &problem) const
{
    throw FileError(m_fileName, problem);
}

// Makes at least count bytes available from m_start where the file holds them,
// and returns how many are available.
qsizetype ListFileReader::fill(qsizetype count)
{
    if (m_end - m_start >= count)
        return m_end - m_start;

    const qsizetype kept = m_end - m_start;
    // Small files, the most common, are read in a small block; the block
    // doubles with each refill up to its full size.
    const qsizetype capacity = std::max(count, std::min(blockSize, std::max(firstBlockSize, 2 * m_buffer.size())));
    if (m_buffer.size() < capacity)
        m_buffer.resize(capacity);
    std::memmove(m_buffer.data(), m_buffer.constData() + m_start, size_t(kept));
    m_start = 0;
    m_end = kept;

    while (m_end < count) {
        const qint64 got = m_device.read(m_buffer.data() + m_end, m_buffer.size() - m_end);
        if (got < 0)
            fail(QStringLiteral("the file cannot be read (%1)").arg(m_device.errorString()));
        if (got == 0)
            break;
        m_end += got;
    }
    return m_end;
}

} // namespace lexiglow
