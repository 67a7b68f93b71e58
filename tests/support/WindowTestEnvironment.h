#pragma once

// What the window tests give the program in place of the real services, and
// a way to work modal windows from inside their own event loops.

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

// Hands out the given values in turn, starting over after the last one.
class ScriptedRandomSource final : public lexiglow::RandomSource
{
public:
    void reseed() override {}
    double next() override { return values.at(draws++ % values.size()); }

    QList<double> values{0.0};
    qsizetype draws = 0;
};

// Answers the open-file dialog in the user's place; no answer left, or an
// empty one, is a cancel.
class ScriptedFileDialog final : public lexiglow::FileDialog
{
public:
    QString getOpenFileName(QWidget *, const QString &filter) override
    {
        filters.append(filter);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }

    QStringList answers;
    QStringList filters;
};

// Records the addresses instead of opening them, as an open that fails would
// leave things.
class RecordingUrlOpener final : public lexiglow::UrlOpener
{
public:
    void open(const QUrl &url) override { opened.append(url); }

    QList<QUrl> opened;
};

// Runs out only when the test says so.
class ManualClearTimer final : public lexiglow::ClearTimer
{
public:
    void start(std::chrono::milliseconds value, std::function<void()> run) override { delay = value, timeout = run; }
    void stop() override { timeout = nullptr; }
    void runOut() { std::exchange(timeout, nullptr)(); }

    std::chrono::milliseconds delay{};
    std::function<void()> timeout;
};

// Ten draws that make two passwords from a pool of two words w1, w2:
// w1 w2 "1", then "50" w2 w1. From apple and moon: "applemoon1", "50moonapple".
inline const QList<double> twoPasswordDraws{0.4, 0.34, 0.8, 0.0, 0.0, 0.9, 0.8, 0.34, 0.0, 0.5};

// The suggestions text of a batch: the heading, a blank line, the passwords.
inline QString suggestionsText(const QStringList &passwords)
{
    return QStringLiteral("Generating Your Suggestions...\n\n") + passwords.join(u'\n');
}

struct WindowTestEnvironment
{
    QTemporaryDir folder;
    MemorySettingsStore store;
    ScriptedRandomSource random;
    ScriptedFileDialog fileDialog;
    RecordingNotice notice;
    RecordingUrlOpener urlOpener;
    ManualClearTimer clearTimer;

    lexiglow::WindowServices services(std::chrono::milliseconds splashDelay)
    {
        return {store, random, folder.path(), fileDialog, notice, urlOpener, clearTimer, {}, splashDelay};
    }

    QString path(const QString &name) const { return QDir::toNativeSeparators(folder.filePath(name)); }

    // Writes a list file into the program folder, as lxg does, and returns its path.
    QString writeList(const QString &fileName, const QString &name, const QString &description,
                      const QStringList &words)
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

namespace modal {

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
