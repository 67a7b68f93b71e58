#pragma once

#include "platform/CodePage.h"

#include <QString>
#include <QStringView>

namespace lexiglow {

// What the reader and the writer of list files agree on: the magic, the
// entry tags, the longest field, and the field cipher.
namespace listfile {

constexpr char magic[] = "LEXIG";
constexpr qsizetype magicSize = 5;
constexpr qint16 lengthTag = 3;
constexpr qint16 textTag = 8;
// The longest text whose Base64 form fits a text entry's 16-bit count.
constexpr qsizetype maxFieldLength = 24574;
constexpr quint8 cipherKey = 91;

// Enciphers one UTF-16 code unit: its code in the code page (or the code of
// "?"), XOR the key, back to a character. The cipher is its own inverse.
class Cipher final
{
public:
    // Of the system's code page.
    Cipher()
        : m_page(CodePage::system())
    {
    }
    char16_t operator()(char16_t unit) const { return m_page.toChar(m_page.toCodeOrSubstitute(unit) ^ cipherKey); }

private:
    const CodePage &m_page;
};

QString applyCipher(QStringView text);

} // namespace listfile

} // namespace lexiglow
