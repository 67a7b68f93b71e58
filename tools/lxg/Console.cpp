#include "Console.h"

namespace lxg {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

QString visible(QStringView text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t code = ch.unicode();
        if (code == u'\n')
            shown += QStringLiteral("\\n");
        else if (code == u'\r')
            shown += QStringLiteral("\\r");
        else if (code == u'\t')
            shown += QStringLiteral("\\t");
        else if (code < 0x20 || (code >= 0x7f && code < 0xa0))
            shown += QStringLiteral("\\x%1").arg(int(code), 2, 16, QChar(u'0'));
        else if (code == 0x2028 || code == 0x2029)
            shown += QStringLiteral("\\u%1").arg(int(code), 4, 16, QChar(u'0'));
        else
            shown += ch;
    }
    return shown;
}

Arguments Arguments::parse(const QStringList &args, const QStringList &knownOptions, const QStringList &knownFlags)
{
    Arguments parsed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (!arg.startsWith(u"--")) {
            parsed.positionals.append(arg);
            continue;
        }
        const qsizetype equals = arg.indexOf(u'=');
        const QString key = arg.mid(2, equals < 0 ? -1 : equals - 2);
        if (knownFlags.contains(key) && equals < 0) {
            parsed.options.insert(key, QString());
            continue;
        }
        if (!knownOptions.contains(key))
            throw UsageError(QStringLiteral("unknown option '--%1'").arg(key));
        if (equals >= 0)
            parsed.options.insert(key, arg.mid(equals + 1));
        else if (i + 1 < args.size())
            parsed.options.insert(key, args[++i]);
        else
            throw UsageError(QStringLiteral("option '--%1' needs a value").arg(key));
    }
    return parsed;
}

} // namespace lxg
