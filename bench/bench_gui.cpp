// The windows' share, offscreen: a batch of 100,000 passwords shown in the
// suggestions window, the main window's start-up with 100 lists, and the
// longest the window's event loop stands still while "Suggest Passwords"
// makes a batch and works out its strength and advice.

#include "BenchLists.h"

#include "generation/RandomSource.h"
#include "generation/passSug.h"
#include "library/frmMain.h"
#include "platform/FileDialog.h"
#include "platform/SecretClipboard.h"
#include "platform/SettingsStore.h"
#include "platform/UrlOpener.h"
#include "settings/SettingsWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>

using namespace lexiglow;

namespace {

class MemoryStore final : public SettingsStore
{
public:
    QString value(const QString &section, const QString &key, const QString &defaultValue) const override
    {
        return m_values.value(section + u'/' + key, defaultValue);
    }
    void setValue(const QString &section, const QString &key, const QString &value) override
    {
        m_values.insert(section + u'/' + key, value);
    }
    QStringList keys(const QString &) const override { return {}; } // a count is always stored
    bool flush() override { return true; }

private:
    QMap<QString, QString> m_values;
};

class NoFileDialog final : public FileDialog
{
public:
    QString getOpenFileName(QWidget *, const QString &) override { return {}; }
};

class NoBrowser final : public UrlOpener
{
public:
    void open(const QUrl &) override {}
};

class NoClearTimer final : public ClearTimer
{
public:
    void start(std::chrono::milliseconds, std::function<void()>) override {}
    void stop() override {}
};

// Whether the suggestions window has shown all it works out: it shows no
// busy indication (a window without one works on the window's thread and is
// done once it turns its event loop).
bool settled(const QWidget &suggestions)
{
    const auto *busy = suggestions.findChild<QWidget *>(QStringLiteral("busyIndicator"));
    return !busy || busy->isHidden();
}

void generateHundredThousandIntoSuggestions(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dice.lxg"));
    writeList(path, madeUpWords(7776, 1));
    MemoryStore store;
    store.setValue(QStringLiteral("Values"), QStringLiteral("Text3"), QStringLiteral("100000"));
    SystemRandomSource random;
    SilentNotice notice;
    NoClearTimer timer;
    SettingsWindow settings(store, notice, nullptr);
    SecretClipboard clipboard(timer, [] { return std::chrono::seconds(30); });
    passSug window(random, settings, notice, clipboard);
    window.buildlist({{true, QStringLiteral("file_1")}}, {QString(), path});
    for (auto _ : state) {
        window.generate();
        do
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        while (!settled(window));
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(generateHundredThousandIntoSuggestions)->Unit(benchmark::kMillisecond);

// The libraries "Suggest Passwords" is timed on.
enum class Library { hundredLists, hundredThousandWords, prefixDense };

void writeLibrary(Library library, const QTemporaryDir &dir, MemoryStore &store)
{
    QList<QStringList> lists;
    if (library == Library::hundredLists) {
        for (int i = 1; i <= 100; ++i)
            lists.append(madeUpWords(330, quint32(i)));
    } else if (library == Library::hundredThousandWords) {
        lists.append(madeUpWords(100000, 7));
    } else {
        lists.append(prefixDenseWords(81000, 3));
    }
    store.setValue(QStringLiteral("passfiles"), QStringLiteral("count"), QString::number(lists.size()));
    for (qsizetype i = 1; i <= lists.size(); ++i) {
        const QString path = dir.filePath(QStringLiteral("list%1.lxg").arg(i));
        writeList(path, lists[i - 1]);
        store.setValue(QStringLiteral("passfiles"), QStringLiteral("passfile%1").arg(i), path);
    }
}

// The services of a main window that shows nothing and asks nobody; the
// splash closes at its first chance.
struct QuietServices
{
    SystemRandomSource random;
    NoFileDialog fileDialog;
    SilentNotice notice;
    NoBrowser browser;
    NoClearTimer timer;

    WindowServices over(SettingsStore &store, const QString &programFolder)
    {
        return {store, random, programFolder, fileDialog, notice, browser, timer, {}, std::chrono::milliseconds(0)};
    }
};

void mainWindowStartUpWithHundredLists(benchmark::State &state)
{
    QTemporaryDir dir;
    MemoryStore store;
    writeLibrary(Library::hundredLists, dir, store);
    QuietServices quiet;
    const WindowServices services = quiet.over(store, dir.path());
    for (auto _ : state) {
        frmMain window(services);
        window.load();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(mainWindowStartUpWithHundredLists)->Unit(benchmark::kMillisecond);

// From the click on "Suggest Passwords" until the suggestions window shows
// its batch, the strength and the advice: the longest time between two turns
// of the event loop (a timer that fires whenever the loop is idle), in
// milliseconds. Forced to lower case, so that the words run into one
// another; the time is the whole road's. Arguments: the library, and how
// many passwords.
void longestStallOfSuggestPasswords(benchmark::State &state)
{
    QTemporaryDir dir;
    MemoryStore store;
    writeLibrary(Library(state.range(0)), dir, store);
    store.setValue(QStringLiteral("Values"), QStringLiteral("Combo1"), GenerationSettings::lowerCaseOnly);
    store.setValue(QStringLiteral("Values"), QStringLiteral("Text3"), QString::number(state.range(1)));
    QuietServices quiet;
    frmMain window(quiet.over(store, dir.path()));
    window.load();
    QCoreApplication::processEvents();
    double longest = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        qint64 last = 0, stall = 0;
        QTimer turn;
        turn.setInterval(0);
        QObject::connect(&turn, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            stall = std::max(stall, now - last);
            last = now;
            QWidget *suggestions = QApplication::activeModalWidget();
            if (suggestions && suggestions->objectName() == u"passSug" && suggestions->isVisible() && settled(*suggestions))
                suggestions->hide();
        });
        clock.start();
        turn.start();
        window.findChild<QPushButton *>(QStringLiteral("sugPass"))->click();
        longest = std::max(longest, double(stall) / 1e6);
    }
    state.counters["longest_stall_ms"] = longest;
}
BENCHMARK(longestStallOfSuggestPasswords)
    ->Args({int(Library::hundredLists), 10})
    ->Args({int(Library::hundredThousandWords), 10})
    ->Args({int(Library::prefixDense), 10})
    ->Args({int(Library::hundredLists), 100000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform says on every window that it ignores size hints.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type != QtDebugMsg && !message.contains(u"propagateSizeHints"))
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
