#pragma once

#include "store/ReadListFile.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace lexiglow {

class SettingsStore;

// The word-list files the user works with: entries 1..N, each the full path
// of a list file exactly as found or chosen (not normalised, duplicates
// allowed, not required to exist). Stored in section "passfiles" as "count"
// and "passfile1".."passfileN".
class ListLibrary final
{
public:
    // Entry numbers are 16-bit on the stored form's readers.
    static constexpr qsizetype maxEntries = 32767;

    explicit ListLibrary(SettingsStore &store);
    Q_DISABLE_COPY_MOVE(ListLibrary)

    // The library as an array whose index 0 is an empty slot and whose
    // entries sit at 1..count().
    const QStringList &passfiles() const { return m_passfiles; }
    qsizetype count() const { return m_passfiles.size() - 1; }
    const QString &path(qsizetype entry) const;

    // Fills the library from the settings store or, when the store holds no
    // library (no count, or "0"), from the list files in programFolder. Then
    // stores it, and returns false when the store cannot be written.
    //
    // A count that is not a whole number from 0 to 32767 is damage, not a
    // first run: every "passfile" entry stored is kept (up to the highest
    // one, a gap reading "0"), so that storing the library loses none, and
    // warning() says so. Only when none is stored is the folder taken.
    bool loadf(const QString &programFolder);
    // Fills the library as loadf does, without storing it.
    void read(const QString &programFolder);
    // What the user should be told about the stored library after a read,
    // or nothing.
    const QString &warning() const { return m_warning; }
    // Writes the library to the settings store. Returns false when the
    // store cannot be written; the library in memory is unaffected.
    bool savef();

    // Appends path as entry count() + 1 and returns its number, or nothing
    // when the library is full.
    std::optional<qsizetype> add(const QString &path);
    // Removes entry; later entries move down by one.
    void remove(qsizetype entry);

    static QString rowKey(qsizetype entry);
    // The entry number in a row key: its text after "file_".
    static std::optional<qsizetype> entryNumber(QStringView key);

private:
    qsizetype highestStoredEntry() const;

    SettingsStore &m_store;
    QStringList m_passfiles{QString()};
    QString m_warning;
};

// A list's name and description as a row shows them, and how reading its
// file went. A file that is not read gives empty texts, and nobody is told:
// the result says why, naming the file.
struct ListSummary
{
    QString name;
    QString description;
    ListFileResult file;
};

ListSummary readListSummary(const QString &path);
// Why a file readListFile found to be no list file was not read, in one line
// that names it: it is empty, or it is not a Lexiglow word list.
QString notAListFailure(const QString &path);

// What Add List makes of a file the user chose, decided by what it holds: a
// word list, whatever its name's letter case; a text file to make a list
// of, when it is no list and its name does not end in ".lxg" (in any case);
// or nothing, and why.
struct ChosenFile
{
    enum class Kind { WordList, TextFile, Refused };
    Kind kind = Kind::Refused;
    // When refused: why, in one line that names the file.
    QString problem = {};
};

ChosenFile examineChosenFile(const QString &path);

} // namespace lexiglow
