#pragma once

#include <QString>

#include <stdexcept>

namespace lexiglow {

// A malformed Base64 text. Carries the error's number, the operation that
// raised it ("CBase64.Decode") and what was wrong with the text.
class Base64Error final : public std::runtime_error
{
public:
    Base64Error(const QString &source, const QString &message);

    static constexpr int errorNumber = 5;

    int number() const { return errorNumber; }
    const QString &source() const { return m_source; }
    const QString &message() const { return m_message; }

private:
    QString m_source;
    QString m_message;
};

} // namespace lexiglow
