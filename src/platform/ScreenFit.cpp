#include "platform/ScreenFit.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace lexiglow {

namespace {

const QScreen *screenOf(const QWidget *window)
{
    if (const QWidget *owner = window->parentWidget())
        return owner->screen();
    return window->screen() ? window->screen() : QGuiApplication::primaryScreen();
}

// The window system's title bar and borders: known once the window has been
// shown, nothing before.
QSize frameOf(const QWidget *window)
{
    return window->frameGeometry().size() - window->size();
}

// The largest size a window can take on its screen; none without a screen.
std::optional<QSize> roomFor(const QWidget *window)
{
    const QScreen *screen = screenOf(window);
    if (!screen)
        return std::nullopt;
    return (screen->availableGeometry().size() - frameOf(window)).expandedTo(QSize(1, 1));
}

// Moves a window that sticks out of its screen's free area back inside.
void keepInside(QWidget *window)
{
    const QRect area = screenOf(window)->availableGeometry();
    const QSize outer = window->size() + frameOf(window);
    window->move(qBound(area.left(), window->x(), area.right() + 1 - outer.width()),
                 qBound(area.top(), window->y(), area.bottom() + 1 - outer.height()));
}

// The size fitOnScreen gave a window, until the user gives it another.
constexpr char fittedSize[] = "lexiglowFittedSize";

} // namespace

void setLeastSize(QWidget *control, QSize least)
{
    control->setMinimumSize(least.expandedTo(control->minimumSizeHint()));
}

void fitOnScreen(QWidget *window, QSize least)
{
    const std::optional<QSize> room = roomFor(window);
    if (!room)
        return;
    const QLayout *layout = window->layout();
    const bool wraps = layout && layout->hasHeightForWidth();
    QSize minimum = least;
    if (layout)
        minimum = minimum.expandedTo(layout->totalMinimumSize());
    // Wrapped text needs most lines at the narrowest.
    if (wraps)
        minimum.setHeight(std::max(minimum.height(), layout->totalMinimumHeightForWidth(minimum.width())));
    window->setMinimumSize(minimum.boundedTo(*room));
    QSize size = window->testAttribute(Qt::WA_Resized) ? window->size() : window->sizeHint();
    size = size.expandedTo(window->minimumSize()).boundedTo(*room);
    if (wraps)
        size.setHeight(std::max(size.height(), layout->totalHeightForWidth(size.width())));
    window->resize(size.boundedTo(*room));
    window->setProperty(fittedSize, window->size());
    // A window not yet placed is placed by the window system, or by a dialog
    // over its owner, inside the free area.
    if (window->isVisible() || window->testAttribute(Qt::WA_Moved))
        keepInside(window);
}

void keepRoomForContent(QWidget *window)
{
    const QLayout *layout = window->layout();
    const std::optional<QSize> room = roomFor(window);
    if (!layout || !layout->hasHeightForWidth() || !room)
        return;
    const int needed = std::min(layout->totalMinimumHeightForWidth(window->width()), room->height());
    if (needed > window->minimumHeight())
        window->setMinimumHeight(needed); // which grows the window where it is smaller
    // A window still at the size it was given grows to the height its
    // content asks for, so that nothing it held before has to scroll; one
    // the user sized only keeps its content's least height.
    if (window->size() == window->property(fittedSize).toSize()) {
        const int wanted = std::min(layout->totalHeightForWidth(window->width()), room->height());
        if (wanted > window->height())
            window->resize(window->width(), wanted);
        window->setProperty(fittedSize, window->size());
    }
    if (window->isVisible())
        keepInside(window);
}

} // namespace lexiglow
