#pragma once

#include <QString>
#include <QStringView>

#include <functional>

namespace lexiglow {

class wordList;

// What reading one list file came to, for every caller alike.
struct ListFileResult
{
    enum class Outcome {
        Read,
        // The file is no list file; the reader has told the user "Invalid File".
        NotAListFile,
        // The file could not be read whole: failure says why.
        Failed,
    };
    Outcome outcome = Outcome::Read;
    // When it failed: why, in one line that names the file.
    QString failure = {};

    bool read() const { return outcome == Outcome::Read; }
};

// Reads filename into list with ReadData, handing the words to eachWord when
// one is given.
ListFileResult readListFile(wordList &list, const QString &filename,
                            const std::function<void(QStringView)> &eachWord = {});

} // namespace lexiglow
