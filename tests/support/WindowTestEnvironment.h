#pragma once

// What a window test gives the program in place of the real services: an
// in-memory settings store, scripted random numbers, dialogs answered by the
// test, and a temporary program folder.

#include "support/MemorySettingsStore.h"
#include "support/RecordingNotice.h"
#include "support/RecordingUrlOpener.h"
#include "support/ScriptedFileDialog.h"
#include "support/ScriptedRandomSource.h"

#include "platform/WindowServices.h"
#include "store/wordList.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// Ten draws that make two passwords from a pool of two words w1, w2:
// w1 w2 "1", then "50" w2 w1. From apple and moon: "applemoon1", "50moonapple".
inline const QList<double> twoPasswordDraws{0.4, 0.34, 0.8, 0.0, 0.0, 0.9, 0.8, 0.34, 0.0, 0.5};

// The suggestions text of a batch: the heading, a blank line, the passwords.
inline QString suggestionsText(const QStringList &passwords)
{
    return QStringLiteral("Generating Your Suggestions...\n\n") + passwords.join(u'\n');
}

struct WindowTestEnvironment
{
    QTemporaryDir folder;
    MemorySettingsStore store;
    ScriptedRandomSource random;
    ScriptedFileDialog fileDialog;
    RecordingNotice notice;
    RecordingUrlOpener urlOpener;

    // The splash closes as soon as it is shown unless a test wants it longer.
    lexiglow::WindowServices services(std::chrono::milliseconds splashDelay = std::chrono::milliseconds(0))
    {
        return {store, random, folder.path(), fileDialog, notice, urlOpener, splashDelay};
    }

    QString path(const QString &name) const { return QDir::toNativeSeparators(folder.filePath(name)); }

    // Writes a list file into the program folder and returns its path.
    QString writeList(const QString &fileName, const QString &name, const QString &description,
                      const QStringList &words)
    {
        RecordingNotice quiet;
        lexiglow::wordList list(quiet);
        list.setname(name);
        list.setdesc(description);
        for (const QString &word : words)
            list.addword(word);
        list.addword(QString()); // list files end with an empty word, as lxg writes them
        list.SaveData(path(fileName));
        return path(fileName);
    }
};
