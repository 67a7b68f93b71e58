#pragma once

#include "platform/Notice.h"

#include <QStringList>

// Keeps what the user would have been told.
class RecordingNotice final : public lexiglow::Notice
{
public:
    void tell(const QString &message) override { messages.append(message); }

    QStringList messages;
};
