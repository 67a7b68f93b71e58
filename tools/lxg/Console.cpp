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
