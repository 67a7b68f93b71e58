#pragma once

#include <QString>

#include <stdexcept>

namespace lexiglow {

// A list file that could not be read or written: which file, and what is wrong
// with it, in words the user can act on.
class FileError final : public std::runtime_error
{
public:
    FileError(const QString &fileName, const QString &problem);

    const QString &fileName() const { return m_fileName; }
    const QString &problem() const { return m_problem; }

private:
    QString m_fileName;
    QString m_problem;
};

} // namespace lexiglow
