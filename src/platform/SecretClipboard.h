#pragma once

#include <QClipboard>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <array>
#include <chrono>
#include <functional>

class QMimeData;

namespace lexiglow {

// Runs out once after a delay: a timer in the program, worked by hand in
// tests.
class ClearTimer
{
public:
    virtual ~ClearTimer() = default;
    // Replaces a countdown that is still running.
    virtual void start(std::chrono::milliseconds delay, std::function<void()> timeout) = 0;
    virtual void stop() = 0;
};

class SystemClearTimer final : public ClearTimer
{
public:
    SystemClearTimer();
    Q_DISABLE_COPY_MOVE(SystemClearTimer)

    void start(std::chrono::milliseconds delay, std::function<void()> timeout) override;
    void stop() override;

private:
    QTimer m_timer;
    std::function<void()> m_timeout;
};

// Puts passwords on the clipboard, and on the selection where the desktop
// has one, marked as secret; and takes them off again after the delay the
// user chose and when the program quits. It only ever clears what it put
// there itself: once another program or a later copy has replaced it, the
// clipboard is left alone. It keeps no copy of the password, only the data
// it handed to the clipboard, which the clipboard deletes when replaced.
class SecretClipboard final : public QObject
{
    Q_OBJECT

public:
    // delay gives the delay in force; zero is "Never".
    SecretClipboard(ClearTimer &timer, std::function<std::chrono::seconds()> delay, QObject *parent = nullptr);
    ~SecretClipboard() override;
    Q_DISABLE_COPY_MOVE(SecretClipboard)

    void copy(const QString &password);
    // Takes Lexiglow's data off the clipboard and the selection, where it is
    // still there.
    void clear();

signals:
    // The countdown ran out: the clipboard no longer holds the password.
    void cleared();

private:
    void takeNoteOf(QClipboard::Mode mode);

    ClearTimer &m_timer;
    std::function<std::chrono::seconds()> m_delay;
    // What this program put on the clipboard and the selection; null once
    // the clipboard has deleted it.
    std::array<QPointer<const QMimeData>, 2> m_held;
};

} // namespace lexiglow
