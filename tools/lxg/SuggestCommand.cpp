#include "Commands.h"
#include "Console.h"

#include "generation/RandomSource.h"
#include "generation/SuggestionEngine.h"
#include "library/ListLibrary.h"
#include "platform/SettingsStore.h"
#include "settings/GenerationSettings.h"

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
void warnAbout(const BatchReport &report, const GenerationSettings &settings)
{
    if (report.noWords)
        err() << "lxg: warning: no list gave a word, so the passwords are numbers only" << Qt::endl;
    if (report.outsideLimits > 0) {
        err() << "lxg: warning: " << report.outsideLimits << " of " << report.passwords
              << " passwords are outside the length limits (--min " << settings.minimumLength << ", --max "
              << settings.maximumLength << "): no candidate within them came up" << Qt::endl;
    }
}

} // namespace

QStringList suggestOptions()
{
    return {QStringLiteral("min"), QStringLiteral("max"), QStringLiteral("count"), QStringLiteral("case"),
            QStringLiteral("min-bits")};
}

QStringList suggestFlags() { return {QStringLiteral("replace"), QStringLiteral("special")}; }

GenerationSettings suggestSettings(const Arguments &parsed)
{
    GenerationSettings settings;
    const auto number = [&](const QString &option, QString &setting) {
        if (!parsed.options.contains(option))
            return;
        setting = parsed.options.value(option);
        if (!settingNumber(setting))
            throw UsageError(QStringLiteral("--%1 needs a number, not '%2'").arg(option, setting));
    };
    number(QStringLiteral("min"), settings.minimumLength);
    number(QStringLiteral("max"), settings.maximumLength);
    number(QStringLiteral("count"), settings.passwordCount);
    QString floor;
    number(QStringLiteral("min-bits"), floor);
    if (!SuggestionEngine::allowedCount(*settingNumber(settings.passwordCount)))
        throw UsageError(QStringLiteral("--count can be at most %1").arg(SuggestionEngine::maxPasswordCount));

    const QHash<QString, QString> cases{{QStringLiteral("mixed"), GenerationSettings::upperAndLowerCase},
                                        {QStringLiteral("lower"), GenerationSettings::lowerCaseOnly},
                                        {QStringLiteral("upper"), GenerationSettings::upperCaseOnly}};
    const QString letterCase = parsed.options.value(QStringLiteral("case"), QStringLiteral("mixed"));
    if (!cases.contains(letterCase))
        throw UsageError(QStringLiteral("--case takes mixed, lower or upper, not '%1'").arg(letterCase));
    settings.letterCase = cases.value(letterCase);
    settings.letterReplacement = parsed.options.contains(QStringLiteral("replace"));
    settings.specialCharacters = parsed.options.contains(QStringLiteral("special"));
    return settings;
}

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

bool readLists(SuggestionEngine &engine, ErrorStreamNotice &notice, const Arguments &parsed)
{
    const std::optional<QStringList> lists = suggestLists(parsed, notice);
    if (!lists)
        return false;
    if (lists->isEmpty())
        err() << "lxg: no word lists in the library, so the passwords are numbers only" << Qt::endl;
    engine.startPool();
    qsizetype read = 0;
    for (const QString &list : *lists) {
        notice.currentFile = list;
        const int toldBefore = notice.toldCount();
        if (const std::optional<QString> failure = engine.addList(list)) {
            notice.currentFile.clear();
            notice.tell(*failure);
        } else if (notice.toldCount() == toldBefore) {
            ++read; // not a foreign file either
        }
    }
    notice.currentFile.clear();
    return read > 0 || parsed.positionals.isEmpty();
}

int suggest(const QStringList &args)
{
    const Arguments parsed = Arguments::parse(args, suggestOptions(), suggestFlags() << QStringLiteral("strength"));
    FixedSettings settings(suggestSettings(parsed));
    SystemRandomSource random;
    ErrorStreamNotice notice;
    SuggestionEngine engine(random, settings, notice);
    if (!readLists(engine, notice, parsed))
        return exitFailure;

    std::unique_ptr<StrengthModel> model;
    if (parsed.options.contains(QStringLiteral("strength")) || parsed.options.contains(QStringLiteral("min-bits"))) {
        std::optional<std::unique_ptr<StrengthModel>> made = strengthModel(engine.pool(), settings.currentSettings(), parsed);
        if (!made)
            return exitFailure;
        model = std::move(*made);
        engine.setStrength(model.get());
    }
    LineSink sink(parsed.options.contains(QStringLiteral("strength")) ? model.get() : nullptr);
    const BatchReport report = engine.generate(sink);
    sink.flush();
    if (report.randomFailed || report.floorMissed)
        return exitFailure;
    warnAbout(report, settings.currentSettings());
    return exitOk;
}

} // namespace lxg
