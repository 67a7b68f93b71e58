#include "store/CBase64.h"

#include "platform/CodePage.h"
#include "store/Base64Error.h"

#include <algorithm>

namespace lexiglow {

namespace {

constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr qint32 notInAlphabet = -1;
constexpr qint32 padding = -2;

// Worked out once by the compiler: callers make a fresh record, and so a
// codec, for every file they read, and filling the table anew each time costs
// more than reading a small file.
constexpr std::array<qint32, 256> decodingTable = [] {
    std::array<qint32, 256> table{};
    table.fill(notInAlphabet);
    for (int i = 0; i < 64; ++i)
        table[quint8(alphabet[i])] = i;
    table['='] = padding;
    return table;
}();

} // namespace

CBase64::CBase64()
    : m_decoding(decodingTable)
{
    std::copy_n(alphabet, 64, m_encoding.begin());
}

QString CBase64::Encode(QByteArrayView bytes) const
{
    return CodePage::system().toUnicode(encodeToCodes(bytes));
}

QByteArray CBase64::encodeToCodes(QByteArrayView bytes) const
{
    const qsizetype size = bytes.size();
    QByteArray text(encodedSize(size), Qt::Uninitialized);
    char *out = text.data();
    const auto byteAt = [&](qsizetype i) -> quint32 { return i < size ? quint8(bytes[i]) : 0; };
    for (qsizetype i = 0; i < size || i == 0; i += 3) {
        const quint32 n = byteAt(i) << 16 | byteAt(i + 1) << 8 | byteAt(i + 2);
        *out++ = m_encoding[n >> 18];
        *out++ = m_encoding[(n >> 12) & 63];
        *out++ = m_encoding[(n >> 6) & 63];
        *out++ = m_encoding[n & 63];
    }
    // The zero bytes that filled the last group up to three become padding;
    // the empty input is one group of which only the last character is padded.
    const qsizetype missing = size == 0 ? 3 : (3 - size % 3) % 3;
    if (missing == 2)
        text[text.size() - 2] = '=';
    if (missing > 0)
        text[text.size() - 1] = '=';
    return text;
}

QByteArray CBase64::Decode(const QString &text) const
{
    return decodeCodes(CodePage::system().fromUnicode(text));
}

QByteArray CBase64::decodeCodes(QByteArrayView codes) const
{
    QByteArray bytes(maxDecodedSize(codes.size()), Qt::Uninitialized);
    bytes.truncate(decodeInto(codes, bytes.data()));
    return bytes;
}

qsizetype CBase64::decodeInto(QByteArrayView codes, char *out) const
{
    const qsizetype length = codes.size();
    if (length == 0 || length % 4 != 0)
        raiseError("Decode", QStringLiteral("Invalid length"));

    const auto entry = [&](qsizetype i) { return m_decoding[quint8(codes[i])]; };
    qsizetype pad = 0;
    if (codes[length - 1] == '=')
        pad = 1;
    if (codes[length - 2] == '=') {
        if (pad == 0)
            raiseError("Decode", QStringLiteral("Invalid padding"));
        pad = 2;
    }

    // A negative entry sets every bit above its place, so any character
    // outside the alphabet shows in the top eight bits.
    const auto decodeGroup = [&](qint32 d0, qint32 d1, qint32 d2, qint32 d3) {
        const quint32 n = quint32(d0) << 18 | quint32(d1) << 12 | quint32(d2) << 6 | quint32(d3);
        if (n & 0xFF000000u)
            raiseError("Decode", QStringLiteral("Invalid character found"));
        *out++ = char(n >> 16);
        *out++ = char(n >> 8);
        *out++ = char(n);
    };
    const qsizetype last = length - 4;
    for (qsizetype i = 0; i < last; i += 4)
        decodeGroup(entry(i), entry(i + 1), entry(i + 2), entry(i + 3));
    // Padding in the last two places reads as "A" (zero bits).
    decodeGroup(entry(last), entry(last + 1), pad == 2 ? 0 : entry(last + 2), pad >= 1 ? 0 : entry(last + 3));
    return maxDecodedSize(length) - pad;
}

void CBase64::raiseError(const char *operation, const QString &message) const
{
    throw Base64Error(QStringLiteral("CBase64.") + QLatin1StringView(operation), message);
}

} // namespace lexiglow
