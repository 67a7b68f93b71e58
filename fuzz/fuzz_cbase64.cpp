// Feeds arbitrary text to the Base64 decoder. A malformed text must raise
// Base64Error with one of its three messages; a text that decodes must encode
// and decode again to the same bytes.

#include "FuzzCheck.h"

#include "platform/CodePage.h"
#include "store/Base64Error.h"
#include "store/CBase64.h"

#include <QStringList>

#include <memory>
#include <optional>

using namespace lexiglow;
using namespace Qt::StringLiterals;

namespace {

const CBase64 &codec()
{
    static const CBase64 instance;
    return instance;
}

void checkError(const Base64Error &error)
{
    static const QStringList messages{u"Invalid length"_s, u"Invalid padding"_s, u"Invalid character found"_s};
    FUZZ_CHECK(error.number() == 5);
    FUZZ_CHECK(error.source() == u"CBase64.Decode"_s);
    FUZZ_CHECK(messages.contains(error.message()));
}

// Decodes into a buffer of exactly the size the codec asks for, so that a
// write past it is a sanitizer report.
std::optional<QByteArray> decodeExactly(QByteArrayView codes, QString &message)
{
    const qsizetype capacity = CBase64::maxDecodedSize(codes.size());
    const auto buffer = std::make_unique<char[]>(size_t(capacity));
    try {
        const qsizetype written = codec().decodeInto(codes, buffer.get());
        FUZZ_CHECK(written > 0 && written <= capacity);
        return QByteArray(buffer.get(), written);
    } catch (const Base64Error &error) {
        checkError(error);
        message = error.message();
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const quint8 *data, size_t size)
{
    const QByteArrayView codes(data, qsizetype(size));
    QString message;
    const std::optional<QByteArray> bytes = decodeExactly(codes, message);

    // The text entry point sees the same codes through the code page, so it
    // must come to the same result.
    try {
        const QByteArray viaText = codec().Decode(CodePage::system().toUnicode(codes));
        FUZZ_CHECK(bytes && viaText == *bytes);
    } catch (const Base64Error &error) {
        checkError(error);
        FUZZ_CHECK(!bytes && error.message() == message);
    }
    if (!bytes)
        return 0;

    const QByteArray encoded = codec().encodeToCodes(*bytes);
    FUZZ_CHECK(encoded.size() == CBase64::encodedSize(bytes->size()));
    FUZZ_CHECK(encoded.size() == codes.size());
    FUZZ_CHECK(codec().Encode(*bytes) == CodePage::system().toUnicode(encoded));
    QString again;
    FUZZ_CHECK(decodeExactly(encoded, again) == bytes);
    return 0;
}
