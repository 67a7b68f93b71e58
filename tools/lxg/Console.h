#pragma once

#include "platform/Notice.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <stdexcept>

namespace lxg {

constexpr int exitOk = 0;
constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

QTextStream &out();
QTextStream &err();

// A command line that does not say what to do; exits with exitUsage.
class UsageError final : public std::runtime_error
{
public:
    explicit UsageError(const QString &problem)
        : std::runtime_error(problem.toStdString())
    {
    }
};

// Text from a list file as it may go to a terminal: line breaks, tabs and the
// other control characters written as \n, \r, \t or \xHH, and the Unicode
// line and paragraph separators as \uHHHH, so that a word never splits a
// line nor moves the cursor. Everything else is kept.
QString visible(QStringView text);

// Tells the user on standard error, naming the file being read when there is
// one.
class ErrorStreamNotice final : public lexiglow::Notice
{
public:
    void tell(const QString &message) override
    {
        err() << "lxg: ";
        if (!currentFile.isEmpty())
            err() << currentFile << ": ";
        err() << message << Qt::endl;
    }

    QString currentFile;
};

// The arguments of one command: positionals in order, and "--key VALUE",
// "--key=VALUE" and "--flag" options among them. "-" alone is a positional.
struct Arguments
{
    QStringList positionals;
    QHash<QString, QString> options;

    static Arguments parse(const QStringList &args, const QStringList &knownOptions,
                           const QStringList &knownFlags = {});
};

} // namespace lxg
