#pragma once

#include <QByteArray>
#include <QList>
#include <QMimeData>
#include <QString>

namespace lexiglow {

// The desktops (freedesktop: Linux and the other X11 and Wayland systems)
// whose clipboard managers and histories can be asked to leave
// a password alone, each in its own way.
enum class Desktop { freedesktop, windows, macos };

constexpr Desktop buildDesktop()
{
#if defined(Q_OS_WIN)
    return Desktop::windows;
#elif defined(Q_OS_MACOS)
    return Desktop::macos;
#else
    return Desktop::freedesktop;
#endif
}

struct ClipboardHint
{
    QString format;
    QByteArray data;
};

// The formats that tell that desktop's clipboard managers, histories and
// cloud clipboards not to record, show or send on the text beside them.
QList<ClipboardHint> secretHints(Desktop desktop, const QString &text);

// A password or a selection of the suggestions on its way to the clipboard:
// the text with the hints of the desktop. Being of its own type, it is told
// apart from anything another program put on the clipboard.
class SecretMimeData final : public QMimeData
{
    Q_OBJECT

public:
    explicit SecretMimeData(const QString &text, Desktop desktop = buildDesktop());
    Q_DISABLE_COPY_MOVE(SecretMimeData)
};

} // namespace lexiglow
