#pragma once

#include <QByteArray>
#include <QString>

#include <array>

namespace lexiglow {

// Base64 with the RFC 4648 alphabet and "=" padding, no line breaks.
//
// Two departures from the standard are part of the list-file format: the
// empty byte sequence encodes to "AAA=", and the decoder rejects the empty
// text. Texts pass through the system's single-byte code page; the *Codes
// functions work on those single-byte codes directly.
class CBase64 final
{
public:
    CBase64();
    Q_DISABLE_COPY_MOVE(CBase64)

    QString Encode(QByteArrayView bytes) const;
    QByteArray encodeToCodes(QByteArrayView bytes) const;

    // Throws Base64Error ("Invalid length", "Invalid padding" or
    // "Invalid character found") when the text is malformed.
    QByteArray Decode(const QString &text) const;
    QByteArray decodeCodes(QByteArrayView codes) const;

    // Decodes into out, which must hold maxDecodedSize(codes.size()) bytes,
    // and returns the number of bytes written.
    qsizetype decodeInto(QByteArrayView codes, char *out) const;
    static constexpr qsizetype maxDecodedSize(qsizetype textLength) { return textLength / 4 * 3; }
    // Four characters per started group of three bytes; the empty input still
    // makes one group.
    static constexpr qsizetype encodedSize(qsizetype byteCount) { return ((byteCount - 1) / 3 + 1) * 4; }

private:
    [[noreturn]] void raiseError(const char *operation, const QString &message) const;

    std::array<char, 64> m_encoding{};
    std::array<qint32, 256> m_decoding{};
};

} // namespace lexiglow
