#pragma once

#include "platform/SettingsStore.h"

#include <QMap>
#include <QPair>

// Settings kept in memory, one store per test. flush() fails on request, as
// an unwritable settings file would.
class MemorySettingsStore final : public lexiglow::SettingsStore
{
public:
    QString value(const QString &section, const QString &key, const QString &defaultValue) const override
    {
        return values.value({section, key}, defaultValue);
    }

    void setValue(const QString &section, const QString &key, const QString &value) override { values.insert({section, key}, value); }

    QStringList keys(const QString &section) const override
    {
        QStringList result;
        for (auto it = values.keyBegin(); it != values.keyEnd(); ++it)
            if (it->first == section)
                result.append(it->second);
        return result;
    }

    bool flush() override { ++flushes; return writable; }

    QString get(const QString &section, const QString &key) const { return values.value({section, key}); }

    QMap<QPair<QString, QString>, QString> values;
    bool writable = true;
    int flushes = 0;
};
