// The windows' share: a batch of 100,000 passwords shown in the suggestions
// window, and the main window's start-up with 100 lists, both offscreen.

#include "BenchLists.h"

#include "generation/RandomSource.h"
#include "generation/passSug.h"
#include "library/frmMain.h"
#include "platform/FileDialog.h"
#include "platform/SettingsStore.h"
#include "platform/UrlOpener.h"
#include "settings/SettingsWindow.h"

#include <QApplication>
#include <QMap>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

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

void generateHundredThousandIntoSuggestions(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dice.lxg"));
    writeList(path, madeUpWords(7776, 1));
    MemoryStore store;
    store.setValue(QStringLiteral("Values"), QStringLiteral("Text3"), QStringLiteral("100000"));
    SystemRandomSource random;
    SilentNotice notice;
    SettingsWindow settings(store, notice, nullptr);
    passSug window(random, settings, notice);
    window.buildlist({{true, QStringLiteral("file_1")}}, {QString(), path});
    for (auto _ : state) {
        window.generate();
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(generateHundredThousandIntoSuggestions)->Unit(benchmark::kMillisecond);

void mainWindowStartUpWithHundredLists(benchmark::State &state)
{
    QTemporaryDir dir;
    MemoryStore store;
    store.setValue(QStringLiteral("passfiles"), QStringLiteral("count"), QStringLiteral("100"));
    for (int i = 1; i <= 100; ++i) {
        const QString path = dir.filePath(QStringLiteral("list%1.lxg").arg(i));
        writeList(path, madeUpWords(330, quint32(i)));
        store.setValue(QStringLiteral("passfiles"), QStringLiteral("passfile%1").arg(i), path);
    }
    SystemRandomSource random;
    NoFileDialog fileDialog;
    SilentNotice notice;
    NoBrowser browser;
    // The splash closes at its first chance.
    const WindowServices services{store, random, dir.path(), fileDialog, notice, browser, std::chrono::milliseconds(0)};
    for (auto _ : state) {
        frmMain window(services);
        window.load();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(mainWindowStartUpWithHundredLists)->Unit(benchmark::kMillisecond);

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
