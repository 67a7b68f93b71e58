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
// blocks.
class LineSink final : public SuggestionSink
{
public:
    explicit LineSink(const StrengthModel *strength)
        : m_strength(strength)
    {
    }
    ~LineSink() override { flush(); }

    void setText(const QString &) override {}
    void append(QStringView text) override
    {
        const QStringView password = text.sliced(SuggestionEngine::lineBreak.size());
        if (m_strength) {
            const QByteArray line = password.toUtf8() + '\t'
                + QByteArray::number(m_strength->bits(password).value_or(0), 'f', 2) + '\n';
            if (m_used + line.size() > qsizetype(m_block.size()))
                flush();
            std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
            return;
        }
        // Room for the longest UTF-8 form: three bytes a UTF-16 unit.
        if (m_used + 3 * password.size() + 1 > qsizetype(m_block.size()))
            flush();
        if (3 * password.size() + 1 > qsizetype(m_block.size())) {
            const QByteArray line = password.toUtf8() + '\n';
            std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
            return;
        }
        char *out = m_block.data() + m_used;
        for (const QChar ch : password) {
            if (ch.unicode() >= 0x80) {
                out = m_block.data() + m_used;
                const QByteArray utf8 = password.toUtf8();
                out = std::copy(utf8.cbegin(), utf8.cend(), out);
                break;
            }
            *out++ = char(ch.unicode());
        }
        *out++ = '\n';
        m_used = out - m_block.data();
    }
    void flush()
    {
        std::fwrite(m_block.data(), 1, size_t(m_used), stdout);
        std::fflush(stdout);
        m_used = 0;
    }

private:
    const StrengthModel *m_strength;
    std::array<char, 1 << 16> m_block{};
    qsizetype m_used = 0;
};

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
    if (*settingNumber(settings.passwordCount) > SuggestionEngine::maxPasswordCount)
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
// and never changed.
QStringList suggestLists(const Arguments &parsed)
{
    if (!parsed.positionals.isEmpty())
        return parsed.positionals;
    QSettingsStore store;
    ListLibrary library(store);
    library.read(QCoreApplication::applicationDirPath());
    return library.passfiles().mid(1);
}

bool readLists(SuggestionEngine &engine, ErrorStreamNotice &notice, const Arguments &parsed)
{
    const QStringList lists = suggestLists(parsed);
    if (lists.isEmpty())
        err() << "lxg: no word lists in the library, so the passwords are numbers only" << Qt::endl;
    engine.startPool();
    qsizetype read = 0;
    for (const QString &list : lists) {
        notice.currentFile = list;
        const int toldBefore = notice.toldCount();
        if (const std::optional<QString> failure = engine.addList(list)) {
            notice.currentFile.clear();
            notice.tell(QStringLiteral("lxg: ") + *failure);
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
    engine.generate(sink);
    sink.flush();
    return exitOk;
}

} // namespace lxg
