#pragma once

#include "platform/FileDialog.h"

#include <QStringList>

// Answers the open-file dialog in the user's place: the next answer given,
// or an empty name (a cancel) when none is left.
class ScriptedFileDialog final : public lexiglow::FileDialog
{
public:
    QString getOpenFileName(QWidget *, const QString &filter) override
    {
        filters.append(filter);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }

    void setNextFileName(const QString &fileName) { answers.append(fileName); }

    QStringList answers;
    QStringList filters;
};
