#pragma once

// What the window tests give the program in place of the real services, and
// a way to work modal windows from inside their own event loops.

#include "support/ListFileBytes.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingNotice.h"

#include "generation/RandomSource.h"
#include "platform/FileDialog.h"
#include "platform/SecretClipboard.h"
#include "platform/UrlOpener.h"
#include "platform/WindowServices.h"
#include "store/wordList.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <optional>

// Ten draws that make two passwords from a pool of two words w1, w2:
// w1 w2 "1", then "50" w2 w1. From apple and moon: "applemoon1", "50moonapple".
inline const QList<double> twoPasswordDraws{0.4, 0.34, 0.8, 0.0, 0.0, 0.9, 0.8, 0.34, 0.0, 0.5};

// The suggestions text of a batch: the heading, a blank line, the passwords.
inline QString suggestionsText(const QStringList &passwords)
{
    return QStringLiteral("Generating Your Suggestions...\n\n") + passwords.join(u'\n');
}

// The program's services, played by the test: random values handed out in turn, starting over after the
// last; the open-file dialog answered in the user's place (no answer left, or an empty one, is a cancel);
// where it starts recorded; addresses recorded instead of opened, as an open that fails would leave things; a clipboard countdown
// that runs out only when the test says so; settings in memory, messages recorded, a program folder, and
// the folder of made lists in it, data/lists.
struct WindowTestEnvironment final : lexiglow::RandomSource, lexiglow::FileDialog, lexiglow::UrlOpener, lexiglow::ClearTimer
{
    void reseed() override {}
    double next() override { return randomValues.at(draws++ % randomValues.size()); }
    QString getOpenFileName(QWidget *, const QString &filter) override
    {
        filters.append(filter);
        startFolders.append(takeNextFolder());
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    void open(const QUrl &url) override { opened.append(url); }
    void start(std::chrono::milliseconds value, std::function<void()> run) override { clearDelay = value, timeout = run; }
    void stop() override { timeout = nullptr; }
    void runOut() { std::exchange(timeout, nullptr)(); }

    QTemporaryDir folder;
    MemorySettingsStore store;
    RecordingNotice notice;
    QList<double> randomValues{0.0};
    qsizetype draws = 0;
    QStringList answers, filters, startFolders; // the file dialog's
    QList<QUrl> opened;
    std::chrono::milliseconds clearDelay{};
    std::function<void()> timeout;

    lexiglow::WindowServices services(std::chrono::milliseconds splashDelay)
    {
        return {store, *this, folder.path(), *this, notice, *this, *this, {}, splashDelay, path(QStringLiteral("data/lists"))};
    }

    QString path(const QString &name) const { return QDir::toNativeSeparators(folder.filePath(name)); }

    // Writes bytes into the program folder and returns the file's path.
    QString writeFile(const QString &fileName, const QByteArray &bytes)
    {
        listbytes::write(path(fileName), bytes);
        return path(fileName);
    }

    // Writes a list file into the program folder, as lxg does, and returns its path.
    QString writeList(const QString &fileName, const QString &name, const QString &description, const QStringList &words)
    {
        RecordingNotice quiet;
        lexiglow::wordList list(quiet);
        list.setname(name);
        list.setdesc(description);
        for (const QString &word : words + QStringList(QString())) // ending with an empty word
            list.addword(word);
        list.SaveData(path(fileName));
        return path(fileName);
    }
};

// Waits until the suggestions window has shown everything it works out on its worker: the batch, its
// strength and the advice.
inline bool settle(QWidget *suggestions)
{
    const auto *busy = suggestions->findChild<QWidget *>(QStringLiteral("busyIndicator"));
    const bool settled = QTest::qWaitFor([busy] { return busy->isHidden(); }, 30000);
    // The lines the results brought, and the busy bar gone, laid out: the
    // window may grow for them.
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
    }
    return settled;
}

namespace modal {

// Brings window to the front, where the keys go. The offscreen platform
// activates a window in its own time, and a window over an active one counts
// as active to QWindow before it is.
inline void activate(QWidget *window)
{
    if (QApplication::activeWindow() == window)
        return;
    window->activateWindow();
    if (!QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }))
        qWarning("%s did not come to the front", qPrintable(window->objectName()));
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
        activate(window);
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
