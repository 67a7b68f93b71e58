#include "library/LargeList.h"

#include "ListFolders.h"

#include <QDir>
#include <QFileInfo>

namespace lexiglow {

QString largeListPath(const QString &programFolder)
{
    // An empty folder would be read as the working folder.
    if (programFolder.isEmpty())
        return {};
    const QDir folder(programFolder);
    for (const char *relative : {listfolders::built, listfolders::installed}) {
        const QFileInfo list(folder.filePath(QString::fromLatin1(relative) + u'/' + QString::fromLatin1(listfolders::largeListFile)));
        if (list.isFile())
            return QDir::cleanPath(list.absoluteFilePath());
    }
    return {};
}

} // namespace lexiglow
