#include "platform/UrlOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace lexiglow {

void DesktopUrlOpener::open(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

} // namespace lexiglow
