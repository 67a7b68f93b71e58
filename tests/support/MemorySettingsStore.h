#pragma once

#include "platform/SettingsStore.h"

#include <QMap>

// Settings kept in memory; flush() answers as told.
class MemorySettingsStore final : public lexiglow::SettingsStore
{
public:
    QString value(const QString &section, const QString &key, const QString &defaultValue) const override
    {
        return values.value(section + u'/' + key, defaultValue);
    }
    void setValue(const QString &section, const QString &key, const QString &value) override
    {
        values.insert(section + u'/' + key, value);
    }
    bool flush() override
    {
        ++flushes;
        return writable;
    }

    QMap<QString, QString> values;
    bool writable = true;
    int flushes = 0;
};
