#include "Commands.h"
#include "Console.h"

#include "generation/RandomSource.h"
#include "generation/SuggestionEngine.h"
#include "library/ListLibrary.h"
#include "platform/SettingsStore.h"
#include "store/ReadListFile.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cstdio>

using namespace lexiglow;

namespace lxg {

namespace {

// Writes each password of a batch on a line of its own, in UTF-8, in large
// blocks, with control characters made visible; with a model, each followed
// by a tab and its bits.
class LineSink final : public SuggestionSink
{
public:
    explicit LineSink(const StrengthModel *strength)
        : m_strength(strength)
    {
    }
    ~LineSink() override { flush(); }

    // The engine starts a batch, or takes one back, this way: what is not
    // printed yet never will be.
    void setText(const QString &) override { m_used = 0; }
    void append(QStringView text) override
    {
        const QStringView password = text.sliced(SuggestionEngine::lineBreak.size());
        if (m_strength) {
            appendLine(visible(password).toUtf8() + '\t'
                       + QByteArray::number(m_strength->bits(password).value_or(0), 'f', 2) + '\n');
            return;
        }
        if (m_used + password.size() + 1 > qsizetype(m_block.size()))
            flush();
        if (password.size() + 1 <= qsizetype(m_block.size())) {
            char *out = m_block.data() + m_used;
            const bool printableAscii = std::all_of(password.begin(), password.end(), [&out](QChar ch) {
                *out++ = char(ch.unicode());
                return ch.unicode() >= 0x20 && ch.unicode() < 0x7f;
            });
            if (printableAscii) {
                *out++ = '\n';
                m_used = out - m_block.data();
                return;
            }
        }
        appendLine(visible(password).toUtf8() + '\n');
    }
    void flush()
    {
        std::fwrite(m_block.data(), 1, size_t(m_used), stdout);
        std::fflush(stdout);
        m_used = 0;
    }

private:
    void appendLine(const QByteArray &line)
    {
        if (m_used + line.size() > qsizetype(m_block.size()))
            flush();
        if (line.size() > qsizetype(m_block.size())) {
            std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
            return;
        }
        std::copy(line.cbegin(), line.cend(), m_block.data() + m_used);
        m_used += line.size();
    }

    const StrengthModel *m_strength;
    std::array<char, 1 << 16> m_block{};
    qsizetype m_used = 0;
};

// Says what the passwords of a batch do not meet; they are printed all the same.
void warnAbout(const BatchReport &report, const PasswordRequest &request, const Arguments &parsed)
{
    if (report.noWords)
        err() << "lxg: warning: no list gave a word, so the passwords are numbers only" << Qt::endl;
    if (report.outsideLimits > 0) {
        // The limits as given, or else as they stand.
        const QString minimum = parsed.options.value(QStringLiteral("min"), QString::number(request.rules.minimum));
        const QString maximum = parsed.options.value(QStringLiteral("max"), QString::number(request.rules.maximum));
        err() << "lxg: warning: " << report.outsideLimits << " of " << report.passwords
              << " passwords are outside the length limits (--min " << minimum << ", --max " << maximum
              << "): no candidate within them came up" << Qt::endl;
    }
}

} // namespace

// The lists given, or else every entry of the user's library, which is read
// and never changed; nothing when the settings cannot be read.
std::optional<QStringList> suggestLists(const Arguments &parsed, ErrorStreamNotice &notice)
{
    if (!parsed.positionals.isEmpty())
        return parsed.positionals;
    QSettingsStore store;
    if (!store.problem().isEmpty()) {
        notice.tell(store.problem());
        return std::nullopt;
    }
    ListLibrary library(store);
    library.read(QCoreApplication::applicationDirPath());
    if (!library.warning().isEmpty())
        notice.tell(QStringLiteral("warning: ") + library.warning());
    return library.passfiles().mid(1);
}

std::optional<QStringList> readLists(SuggestionEngine &engine, ErrorStreamNotice &notice, const Arguments &parsed)
{
    const std::optional<QStringList> lists = suggestLists(parsed, notice);
    if (!lists)
        return std::nullopt;
    if (lists->isEmpty())
        err() << "lxg: no word lists in the library, so the passwords are numbers only" << Qt::endl;
    engine.startPool();
    qsizetype read = 0;
    for (const QString &list : *lists) {
        notice.currentFile = list; // for the reader's "Invalid File"
        const ListFileResult result = engine.addList(list);
        notice.currentFile.clear();
        if (result.outcome == ListFileResult::Outcome::Failed)
            notice.tell(result.failure);
        read += result.read() ? 1 : 0;
    }
    notice.currentFile.clear();
    if (read == 0 && !parsed.positionals.isEmpty())
        return std::nullopt;
    return lists;
}

int suggest(const QStringList &args)
{
    const Arguments parsed = Arguments::parse(args, suggestOptions(), suggestFlags() << QStringLiteral("strength"));
    const std::optional<PasswordRequest> asked = suggestRequest(parsed);
    if (!asked)
        return exitFailure;
    const PasswordRequest &request = *asked;
    SystemRandomSource random;
    ErrorStreamNotice notice;
    SuggestionEngine engine(random, notice);
    if (!readLists(engine, notice, parsed))
        return exitFailure;

    std::unique_ptr<StrengthModel> model;
    if (parsed.options.contains(QStringLiteral("strength")) || request.floor) {
        std::optional<std::unique_ptr<StrengthModel>> made = strengthModel(engine.pool(), request);
        if (!made)
            return exitFailure;
        model = std::move(*made);
        engine.setStrength(model.get());
    }
    LineSink sink(parsed.options.contains(QStringLiteral("strength")) ? model.get() : nullptr);
    const BatchReport report = engine.generate(request, sink);
    sink.flush();
    if (report.randomFailed || report.floorMissed)
        return exitFailure;
    warnAbout(report, request, parsed);
    return exitOk;
}

} // namespace lxg
