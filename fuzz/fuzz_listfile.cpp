// Reads arbitrary bytes as a list file, through both ways of reading one. The
// reader may return normally, tell the user "Invalid File" for a file without
// the magic, or throw FileError or Base64Error; anything else is a finding,
// and so is a record changed by a read that failed.
//
// An input's first byte b says how much larger than its bytes the file claims
// to be, as a sparse file does: 2^(b % 48) - 1 bytes more, so that a claim
// the size seems to back is tried too. The rest is the file, read from memory
// through the same device path as a file on disk.

#include "FuzzCheck.h"

#include "platform/Notice.h"
#include "store/Base64Error.h"
#include "store/FileError.h"
#include "store/wordList.h"

#include <QBuffer>

using namespace lexiglow;
using namespace Qt::StringLiterals;

namespace {

class RecordingNotice final : public Notice
{
public:
    void tell(const QString &message) override { messages.append(message); }
    QStringList messages;
};

// No character of the code page, so a file can never produce it: a field that
// still holds it was not replaced.
const QString untouched = u"\u0416"_s;

const QString inputFile = u"input.lxg"_s;

// Holds the file's bytes and claims a size of its own. One serves every read:
// a device is costly to make next to a read of a few bytes.
class ClaimingBuffer final : public QBuffer
{
public:
    void hold(QByteArrayView bytes, qint64 claimedSize)
    {
        close();
        m_bytes = QByteArray::fromRawData(bytes.data(), bytes.size()); // the fuzzer's own, not copied
        m_claimedSize = claimedSize;
        setBuffer(&m_bytes);
        FUZZ_CHECK(open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    }
    qint64 size() const override { return m_claimedSize; }

private:
    QByteArray m_bytes;
    qint64 m_claimedSize = 0;
};

ClaimingBuffer &inputDevice(QByteArrayView bytes, qint64 claimedSize)
{
    static ClaimingBuffer device;
    device.hold(bytes, claimedSize);
    return device;
}

enum class Outcome { Read, NotAListFile, FileFailed, CodecFailed };

struct Result
{
    Outcome outcome = Outcome::Read;
    QString error;
    QString name;
    QString description;
    WordArray words;
};

template<typename Read>
Result read(wordList &list, RecordingNotice &notice, Read readData)
{
    Result result;
    try {
        readData();
        result.outcome = notice.messages.isEmpty() ? Outcome::Read : Outcome::NotAListFile;
    } catch (const FileError &error) {
        FUZZ_CHECK(error.fileName() == inputFile);
        FUZZ_CHECK(!error.problem().isEmpty());
        result.outcome = Outcome::FileFailed;
        result.error = error.problem();
    } catch (const Base64Error &error) {
        FUZZ_CHECK(error.number() == 5 && error.source() == u"CBase64.Decode"_s);
        result.outcome = Outcome::CodecFailed;
        result.error = error.message();
    }
    if (result.outcome != Outcome::NotAListFile)
        FUZZ_CHECK(notice.messages.isEmpty());
    else
        FUZZ_CHECK(notice.messages == QStringList{u"Invalid File"_s});
    result.name = list.getname();
    result.description = list.getdesc();
    result.words = list.getlist();
    return result;
}

void prime(wordList &list)
{
    list.setname(untouched);
    list.setdesc(untouched);
    list.setlist(WordArray(1, {untouched}));
}

bool isUntouched(const Result &result)
{
    return result.name == untouched && result.description == untouched
        && result.words == WordArray(1, {untouched});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const quint8 *data, size_t size)
{
    const int shift = size > 0 ? data[0] % 48 : 0;
    const QByteArrayView bytes = QByteArrayView(data, qsizetype(size)).sliced(size > 0 ? 1 : 0);
    const qint64 claimedSize = bytes.size() + (qint64(1) << shift) - 1;

    RecordingNotice notice;
    wordList list(notice);
    prime(list);
    const Result kept = read(list, notice, [&] {
        list.ReadData(inputDevice(bytes, claimedSize), inputFile);
    });

    FUZZ_CHECK((kept.outcome == Outcome::NotAListFile) == !bytes.startsWith("LEXIG"));
    if (kept.outcome != Outcome::Read) {
        FUZZ_CHECK(isUntouched(kept));
    } else {
        FUZZ_CHECK(kept.name != untouched && kept.description != untouched);
        // A count of zero or less leaves the words alone; any other replaces them.
        if (kept.words != WordArray(1, {untouched})) {
            FUZZ_CHECK(kept.words.lowerBound() == 1);
            FUZZ_CHECK(!kept.words.elements().contains(untouched));
        }
    }

    // Streaming the words must come to the same end, word for word.
    RecordingNotice streamNotice;
    wordList streaming(streamNotice);
    prime(streaming);
    QStringList streamed;
    const Result viaCallback = read(streaming, streamNotice, [&] {
        streaming.ReadData(inputDevice(bytes, claimedSize), inputFile,
                           [&](QStringView word) { streamed.append(word.toString()); });
    });
    FUZZ_CHECK(viaCallback.outcome == kept.outcome);
    FUZZ_CHECK(viaCallback.error == kept.error);
    FUZZ_CHECK(viaCallback.words == WordArray(1, {untouched}));
    if (kept.outcome == Outcome::Read) {
        FUZZ_CHECK(viaCallback.name == kept.name && viaCallback.description == kept.description);
        const bool wordsReplaced = kept.words != WordArray(1, {untouched});
        FUZZ_CHECK(streamed == (wordsReplaced ? kept.words.words() : QStringList()));
    } else {
        FUZZ_CHECK(viaCallback.name == untouched && viaCallback.description == untouched);
    }
    return 0;
}
