#include "Commands.h"
#include "Console.h"

#include "store/ReadListFile.h"
#include "store/wordList.h"

using namespace lexiglow;

namespace lxg {

int show(const QStringList &args)
{
    const Arguments parsed = Arguments::parse(args, {});
    if (parsed.positionals.size() != 1)
        throw UsageError(QStringLiteral("show takes one list file"));

    const QString &file = parsed.positionals[0];
    ErrorStreamNotice notice;
    notice.currentFile = file;
    wordList list(notice);
    const ListFileResult result = readListFile(list, file);
    if (result.outcome == ListFileResult::Outcome::Failed)
        err() << "lxg: " << result.failure << Qt::endl;
    if (!result.read())
        return exitFailure;
    out() << visible(list.getname()) << '\n' << visible(list.getdesc()) << '\n';
    for (const QString &word : list.getlist().words())
        out() << visible(word) << '\n';
    out().flush();
    return exitOk;
}

} // namespace lxg
