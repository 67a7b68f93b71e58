#pragma once

#include <QtGlobal>

class QUrl;

namespace lexiglow {

// Opens a web address in the user's browser. Tests record it instead.
class UrlOpener
{
public:
    virtual ~UrlOpener() = default;
    // Whether it worked is not reported: there is nothing the user could do.
    virtual void open(const QUrl &url) = 0;
};

// The desktop's default browser.
class DesktopUrlOpener final : public UrlOpener
{
public:
    DesktopUrlOpener() = default;
    Q_DISABLE_COPY_MOVE(DesktopUrlOpener)

    void open(const QUrl &url) override;
};

} // namespace lexiglow
