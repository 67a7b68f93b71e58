#include "platform/SecretClipboard.h"

#include "platform/SecretMimeData.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace lexiglow {

namespace {

constexpr std::array modes{QClipboard::Clipboard, QClipboard::Selection};

qsizetype slot(QClipboard::Mode mode)
{
    return mode == QClipboard::Selection ? 1 : 0;
}

} // namespace

SystemClearTimer::SystemClearTimer()
{
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
        if (m_timeout)
            m_timeout();
    });
}

void SystemClearTimer::start(std::chrono::milliseconds delay, std::function<void()> timeout)
{
    m_timeout = std::move(timeout);
    m_timer.start(delay);
}

void SystemClearTimer::stop()
{
    m_timer.stop();
}

SecretClipboard::SecretClipboard(ClearTimer &timer, std::function<std::chrono::seconds()> delay, QObject *parent)
    : QObject(parent)
    , m_timer(timer)
    , m_delay(std::move(delay))
{
    // What the suggestions' text box puts there by hand (a selection, the
    // menu's "Copy") is counted down as well.
    connect(QGuiApplication::clipboard(), &QClipboard::changed, this, &SecretClipboard::takeNoteOf);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &SecretClipboard::clear);
}

SecretClipboard::~SecretClipboard()
{
    m_timer.stop();
    clear();
}

void SecretClipboard::copy(const QString &password)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    for (const QClipboard::Mode mode : modes) {
        if (mode == QClipboard::Clipboard || clipboard->supportsSelection()) {
            clipboard->setMimeData(new SecretMimeData(password), mode);
            takeNoteOf(mode);
        }
    }
}

void SecretClipboard::takeNoteOf(QClipboard::Mode mode)
{
    if (mode != QClipboard::Clipboard && mode != QClipboard::Selection)
        return;
    const auto *data = qobject_cast<const SecretMimeData *>(QGuiApplication::clipboard()->mimeData(mode));
    if (!data || data == m_held[slot(mode)])
        return;
    m_held[slot(mode)] = data;
    const std::chrono::seconds delay = m_delay();
    if (delay <= std::chrono::seconds::zero()) {
        m_timer.stop(); // "Never": kept until the program quits
        return;
    }
    m_timer.start(delay, [this] {
        clear();
        emit cleared();
    });
}

void SecretClipboard::clear()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    for (const QClipboard::Mode mode : modes) {
        QPointer<const QMimeData> &held = m_held[slot(mode)];
        if (held && clipboard->mimeData(mode) == held)
            clipboard->clear(mode);
        held.clear();
    }
}

} // namespace lexiglow
