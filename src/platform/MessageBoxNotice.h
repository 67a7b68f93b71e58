#pragma once

#include "platform/Notice.h"

namespace lexiglow {

// Tells the user in a message box with the program's name as caption, an OK
// button and no icon, and waits until they press it.
class MessageBoxNotice final : public Notice
{
public:
    static inline const QString caption = QStringLiteral("lexiglow");

    MessageBoxNotice() = default;
    Q_DISABLE_COPY_MOVE(MessageBoxNotice)

    void tell(const QString &message) override;
};

} // namespace lexiglow
