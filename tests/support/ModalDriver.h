#pragma once

// Drives modal windows from inside their own event loops, the way a person
// would, so that a test that opens one never waits for a person.

#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace modal {

// Runs step on the next modal window that opens over the current one, from
// inside that window's event loop. A window that the step leaves open is
// hidden afterwards, so a failed check inside the step cannot leave the test
// blocked. Returns a flag that tells whether the step ran.
inline std::shared_ptr<bool> onNext(std::function<void(QWidget *)> step)
{
    auto ran = std::make_shared<bool>(false);
    const QPointer<QWidget> before = QApplication::activeModalWidget();
    auto *poll = new QTimer(qApp);
    poll->setInterval(5);
    const QDeadlineTimer deadline(10000);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, before, step, ran, deadline] {
        QWidget *window = QApplication::activeModalWidget();
        const bool opened = window && window != before.data() && window->isVisible();
        if (!opened && !deadline.hasExpired())
            return;
        poll->stop();
        poll->deleteLater();
        if (!opened)
            return;
        *ran = true;
        const QPointer<QWidget> guard = window;
        step(window);
        if (guard && guard->isVisible())
            guard->hide();
    });
    poll->start();
    return ran;
}

// The first child of window with that objectName and type, or nullptr.
template<typename T>
T *find(QWidget *window, const QString &objectName)
{
    return window ? window->findChild<T *>(objectName) : nullptr;
}

// Clicks the button of that objectName in window, as a person would.
inline void click(QWidget *window, const QString &button)
{
    QTest::mouseClick(window->findChild<QPushButton *>(button), Qt::LeftButton);
}

// Calls open, which shows a modal window and waits for it, and runs step on
// that window from inside its event loop, as a person would. A window the
// step leaves open is hidden, so a failed check never leaves the test
// waiting. Returns whether a window opened while open ran.
inline bool drive(const std::function<void()> &open, const std::function<void(QWidget *)> &step)
{
    bool ran = false;
    const QPointer<QWidget> before = QApplication::activeModalWidget();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *window = QApplication::activeModalWidget();
        if (!window || window == before || !window->isVisible())
            return;
        poll.stop();
        ran = true;
        const QPointer<QWidget> guard = window;
        step(window);
        if (guard && guard->isVisible())
            guard->hide();
    });
    poll.start(5);
    open();
    return ran;
}

} // namespace modal
