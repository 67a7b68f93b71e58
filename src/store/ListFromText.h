#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

class QIODevice;

namespace lexiglow {

// Making a list file from a plain text file of words, one a line, for
// "lxg create" and for the window's New Word List alike.
//
// The words are the lines as written: UTF-8, LF or CR LF line ends, a byte
// order mark at the start dropped, lines of blanks skipped. A word that would
// make a poor password or come back changed from the file is warned about; a
// word the format cannot carry, a line break inside a word, a line that is
// not UTF-8 text (a NUL byte, bytes that are no UTF-8) and more words than a
// list file can count refuse the whole list, as does a text without a word.
//
// For "red", "[", "  ", "red" the words are red, [ and red, with the warnings
// "line 2: '[' alone reads back as an empty word", "line 3: holds only blanks
// and is skipped" and "line 4: 'red' repeats line 1, so it is drawn twice as
// often".
struct ListFromText
{
    // At most this many warnings are told, then one line that says more follow.
    static constexpr int shownWarnings = 100;

    QString name;
    QString description;
    // Told each warning, "line N: ..."; may be empty.
    std::function<void(const QString &)> warn = {};
    // Read between lines: once set, the making stops with a FileError and
    // nothing is written.
    const std::atomic_bool *cancelled = nullptr;
};

// What a list's name or description ("name", "description") gives in a list
// file: a refusal when it is too long to carry, warnings for characters that
// are written as "?".
struct ListTextCheck
{
    QString refusal;
    QStringList warnings;
};
ListTextCheck checkListText(const QString &what, const QString &text);

// Reads the words from source, which is open for reading and is named
// sourceName in failures, and writes them into a list file at target, which
// is replaced as a whole or not at all. With an empty target the words are
// read and checked alike, and nothing is written. Words are written as they
// are read: no input costs memory for its words, and duplicates are looked
// for among the first 4 M characters of distinct words. Returns the count of
// words. Throws FileError, which names the source or the target, for a
// refusal and for a failure to read or write.
qint64 makeListFromText(QIODevice &source, const QString &sourceName, const QString &target,
                        const ListFromText &making);

// The words of the text file at path, counted and warned about as
// makeListFromText would write them. The file is opened as a list file is:
// what is no plain file (a folder, a FIFO) is refused unread.
qint64 countTextFile(const QString &path, const ListFromText &making);
// Makes a list of the text file at path in folder (made where missing), as
// a new file named after the text file: "words.txt" gives "words.lxg", or
// "words-2.lxg", "words-3.lxg", ... when that name is taken. No file there
// is ever replaced, and when the making fails nothing is left behind.
// Returns the new list's path.
QString makeListInFolder(const QString &path, const QString &folder, const ListFromText &making);

} // namespace lexiglow
