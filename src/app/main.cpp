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
#include "platform/SingleInstance.h"
#include "platform/UrlOpener.h"
#include "platform/WindowServices.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

#include <cstdio>

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

    // A copy already running comes to the front instead; this one ends before
    // it shows a window or touches the settings.
    SingleInstance instance(SingleInstance::standardFolder(), QSettingsStore::standardLocation());
    const SingleInstance::Role role = instance.claim();
    if (role == SingleInstance::Role::HandedOver)
        return 0;
    MessageBoxNotice notice;
    if (role == SingleInstance::Role::Unanswered) {
        notice.tell(instance.problem());
        return 1;
    }
    if (role == SingleInstance::Role::Alone)
        std::fprintf(stderr, "lexiglow: warning: %s\n", qPrintable(instance.problem()));

    QSettingsStore store;
    SystemRandomSource random;
    SystemFileDialog fileDialog;
    if (!store.problem().isEmpty())
        notice.tell(store.problem());
    DesktopUrlOpener urlOpener;
    SystemClearTimer clearTimer;
    WindowServices services{store, random, QCoreApplication::applicationDirPath(), fileDialog, notice,
                            urlOpener, clearTimer};
    // On Linux $XDG_DATA_HOME/lexiglow/lists.
    services.listFolder = QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("lists"));

    frmMain window(services);
    QObject::connect(&instance, &SingleInstance::activationRequested, &window, &frmMain::comeToFront);
    window.load();
    return QApplication::exec();
}
