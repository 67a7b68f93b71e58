#include "store/Base64Error.h"

namespace lexiglow {

Base64Error::Base64Error(const QString &source, const QString &message)
    : std::runtime_error(QStringLiteral("Error %1 in %2: %3")
                             .arg(QString::number(errorNumber), source, message)
                             .toStdString())
    , m_source(source)
    , m_message(message)
{
}

} // namespace lexiglow
