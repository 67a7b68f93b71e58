#pragma once

#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

namespace lexiglow {

class wordList;

// Reads filename into list with ReadData, handing the words to eachWord when
// one is given. Returns, when reading fails, why, in one line that names the
// file; a file that is not a list file is told to the user by the reader and
// is no failure here.
std::optional<QString> readListFile(wordList &list, const QString &filename,
                                    const std::function<void(QStringView)> &eachWord = {});

} // namespace lexiglow
