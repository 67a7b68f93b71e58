// lexiglow: the password generator's windows.

#include "Version.h"
#include "about/Logo.h"
#include "generation/RandomSource.h"
#include "library/frmMain.h"
#include "platform/FileDialog.h"
#include "platform/MessageBoxNotice.h"
#include "platform/ProcessHardening.h"
#include "platform/SecretClipboard.h"
#include "platform/SettingsStore.h"
#include "platform/UrlOpener.h"
#include "platform/WindowServices.h"

#include <QApplication>

using namespace lexiglow;

int main(int argc, char *argv[])
{
    // Before anything that could hold a password.
    hardenProcessOrWarn("lexiglow");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lexiglow"));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(versionMajor).arg(versionMinor).arg(versionRevision));
    QApplication::setWindowIcon(logoIcon());

    QSettingsStore store;
    SystemRandomSource random;
    SystemFileDialog fileDialog;
    MessageBoxNotice notice;
    if (!store.problem().isEmpty())
        notice.tell(store.problem());
    DesktopUrlOpener urlOpener;
    SystemClearTimer clearTimer;
    const WindowServices services{store, random, QCoreApplication::applicationDirPath(), fileDialog, notice,
                                  urlOpener, clearTimer};

    frmMain window(services);
    window.load();
    return QApplication::exec();
}
