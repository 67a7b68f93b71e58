#include "platform/CodePage.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace lexiglow {

namespace {

std::array<char16_t, 256> windows1252Characters()
{
    // 0x80..0x9F; the five unassigned codes keep the C1 control of their own number.
    static constexpr char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    std::array<char16_t, 256> characters{};
    for (int code = 0; code < 256; ++code)
        characters[code] = (code >= 0x80 && code < 0xA0) ? high[code - 0x80] : char16_t(code);
    return characters;
}

#ifdef Q_OS_WIN
std::optional<std::array<char16_t, 256>> ansiCodePageCharacters()
{
    CPINFO info;
    if (!GetCPInfo(CP_ACP, &info) || info.MaxCharSize != 1)
        return std::nullopt;
    std::array<char16_t, 256> characters{};
    for (int code = 0; code < 256; ++code) {
        const char byte = char(code);
        wchar_t wide = 0;
        if (MultiByteToWideChar(CP_ACP, 0, &byte, 1, &wide, 1) != 1)
            return std::nullopt;
        characters[code] = char16_t(wide);
    }
    return characters;
}
#endif

} // namespace

CodePage::CodePage(const std::array<char16_t, 256> &characters)
    : m_toChar(characters)
{
    m_toCode.fill(noCode);
    // Walk downwards so that a character listed twice maps to its lowest code.
    for (int code = 255; code >= 0; --code)
        m_toCode[m_toChar[code]] = quint16(code);
}

const CodePage &CodePage::windows1252()
{
    static const CodePage page(windows1252Characters());
    return page;
}

const CodePage &CodePage::system()
{
#ifdef Q_OS_WIN
    static const CodePage page(ansiCodePageCharacters().value_or(windows1252Characters()));
    return page;
#else
    return windows1252();
#endif
}

std::optional<quint8> CodePage::toCode(char16_t ch) const
{
    const quint16 code = m_toCode[ch];
    if (code == noCode)
        return std::nullopt;
    return quint8(code);
}

QByteArray CodePage::fromUnicode(QStringView text) const
{
    QByteArray codes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        codes[i] = char(toCodeOrSubstitute(text[i].unicode()));
    return codes;
}

QString CodePage::toUnicode(QByteArrayView codes) const
{
    QString text(codes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < codes.size(); ++i)
        text[i] = QChar(m_toChar[quint8(codes[i])]);
    return text;
}

} // namespace lexiglow
