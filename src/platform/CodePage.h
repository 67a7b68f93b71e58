#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

namespace lexiglow {

// A single-byte code page: every code 0..255 stands for exactly one character
// and back. List files encipher text through the codes of the system's ANSI
// code page, so the same plain text must give the same codes on every platform
// that uses the same code page.
class CodePage final
{
public:
    // Windows-1252 as Windows defines it, including its five unassigned codes
    // 0x81, 0x8D, 0x8F, 0x90 and 0x9D, which stand for the C1 controls of the
    // same number so that every code round-trips.
    static const CodePage &windows1252();

    // The system's ANSI code page where the platform has one (Windows, when it
    // is a single-byte code page), Windows-1252 everywhere else.
    static const CodePage &system();

    // Builds a code page from the character of each code. Characters must be
    // distinct and in the Basic Multilingual Plane.
    explicit CodePage(const std::array<char16_t, 256> &characters);

    char16_t toChar(quint8 code) const { return m_toChar[code]; }
    std::optional<quint8> toCode(char16_t ch) const;
    // The code of ch, or the code of '?' when the code page lacks ch.
    quint8 toCodeOrSubstitute(char16_t ch) const
    {
        const quint16 code = m_toCode[ch];
        return code == noCode ? substitute : quint8(code);
    }

    QByteArray fromUnicode(QStringView text) const;
    QString toUnicode(QByteArrayView codes) const;

    static constexpr quint8 substitute = '?';

private:
    static constexpr quint16 noCode = 0xFFFF;

    std::array<char16_t, 256> m_toChar{};
    std::array<quint16, 0x10000> m_toCode{};
};

} // namespace lexiglow
