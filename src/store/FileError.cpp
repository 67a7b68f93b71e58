#include "store/FileError.h"

#include <QDir>

namespace lexiglow {

FileError::FileError(const QString &fileName, const QString &problem)
    : std::runtime_error(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(fileName), problem).toStdString())
    , m_fileName(fileName)
    , m_problem(problem)
{
}

} // namespace lexiglow
