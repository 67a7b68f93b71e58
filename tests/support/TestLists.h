#pragma once

#include "support/RecordingNotice.h"

#include "store/wordList.h"

#include <QStringList>

// Writes a list file as the program's own writer does.
inline void makeList(const QString &path, const QString &name, const QStringList &words,
                     const QString &description = {})
{
    RecordingNotice notice;
    lexiglow::wordList list(notice);
    list.setname(name);
    list.setdesc(description);
    for (const QString &word : words)
        list.addword(word);
    list.addword(QString());
    list.SaveData(path);
}
