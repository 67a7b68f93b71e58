#include "platform/SecretMimeData.h"

namespace lexiglow {

namespace {

// A Windows clipboard format with a value; Qt hands the bytes on unchanged.
QString windowsFormat(const char *name)
{
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(QLatin1StringView(name));
}

// A little-endian 32-bit DWORD.
QByteArray dword(char value)
{
    return QByteArray(1, value) + QByteArray(3, '\0');
}

} // namespace

QList<ClipboardHint> secretHints(Desktop desktop, const QString &text)
{
    switch (desktop) {
    case Desktop::freedesktop:
        // Klipper and the GNOME clipboard histories skip what carries it.
        return {{QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret")}};
    case Desktop::windows:
        return {{windowsFormat("ExcludeClipboardContentFromMonitorProcessing"), dword(1)},
                {windowsFormat("CanIncludeInClipboardHistory"), dword(0)},
                {windowsFormat("CanUploadToCloudClipboard"), dword(0)}};
    case Desktop::macos:
        return {{QStringLiteral("application/x-nspasteboard-concealed-type"), text.toUtf8()}};
    }
    return {};
}

SecretMimeData::SecretMimeData(const QString &text, Desktop desktop)
{
    setText(text);
    for (const ClipboardHint &hint : secretHints(desktop, text))
        setData(hint.format, hint.data);
}

} // namespace lexiglow
