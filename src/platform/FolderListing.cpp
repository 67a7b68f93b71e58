#include "platform/FolderListing.h"

#include <QDir>

namespace lexiglow {

QStringList listPlainFiles(const QString &folder, const QString &pattern, qsizetype limit)
{
    if (folder.isEmpty())
        return {};
    QDir::Filters filters = QDir::Files;
#ifndef Q_OS_WIN
    filters |= QDir::CaseSensitive;
#endif
    QStringList names = QDir(folder).entryList({pattern}, filters, QDir::Name | QDir::IgnoreCase);
    if (names.size() > limit)
        names.resize(limit);
    return names;
}

} // namespace lexiglow
