#include "Commands.h"
#include "Console.h"

#include "store/FileError.h"
#include "store/ListFromText.h"

#include <QFile>

#include <cstdio>

using namespace lexiglow;

namespace lxg {

namespace {

QFile &openSource(QFile &file, const QString &source)
{
    const bool isStandardInput = source.isEmpty() || source == u"-";
    // By its descriptor: a C stream's lines end at a NUL byte, which would
    // hide that the input is no text.
    const bool opened = isStandardInput ? file.open(fileno(stdin), QIODevice::ReadOnly)
                                        : (file.setFileName(source), file.open(QIODevice::ReadOnly));
    if (!opened)
        throw FileError(source, QStringLiteral("the file cannot be opened (%1)").arg(file.errorString()));
    return file;
}

void checkText(const QString &what, const QString &text)
{
    const ListTextCheck check = checkListText(what, text);
    if (!check.refusal.isEmpty())
        throw UsageError(check.refusal);
    for (const QString &warning : check.warnings)
        err() << "lxg: warning: " << warning << Qt::endl;
}

} // namespace

int create(const QStringList &args)
{
    const Arguments parsed = Arguments::parse(args, {QStringLiteral("name"), QStringLiteral("description")});
    if (parsed.positionals.isEmpty())
        throw UsageError(QStringLiteral("create needs the file to write"));
    if (parsed.positionals.size() > 2)
        throw UsageError(QStringLiteral("create takes one file of words"));
    if (!parsed.options.contains(QStringLiteral("name")))
        throw UsageError(QStringLiteral("create needs --name"));
    const QString target = parsed.positionals[0];
    ListFromText making{parsed.options.value(QStringLiteral("name")), parsed.options.value(QStringLiteral("description")),
                        [](const QString &warning) { err() << "lxg: warning: " << warning << Qt::endl; }};
    checkText(QStringLiteral("name"), making.name);
    checkText(QStringLiteral("description"), making.description);

    const QString source = parsed.positionals.value(1);
    QFile sourceFile;
    const qint64 count = makeListFromText(openSource(sourceFile, source),
                                          source.isEmpty() || source == u"-" ? QStringLiteral("standard input") : source,
                                          target, making);
    out() << "Wrote " << count << " words to " << target << Qt::endl;
    return exitOk;
}

} // namespace lxg
