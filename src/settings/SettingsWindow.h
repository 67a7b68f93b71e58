#pragma once

#include "settings/GenerationSettings.h"

#include <QPointer>

#include <chrono>

class QWidget;

namespace lexiglow {

class Notice;
class SettingsStore;
class advSettings;

// The Advanced Settings dialog as the rest of the program reaches it. The
// first touch creates the dialog unseen, which restores the stored values, so
// the first batch of a run already uses them. The dialog then lives until the
// program ends, unless the user closes it through its close box: then it is
// discarded at once and the next touch creates it anew.
class SettingsWindow final : public SettingsSource
{
public:
    SettingsWindow(SettingsStore &store, Notice &notice, QWidget *owner);
    ~SettingsWindow() override;
    Q_DISABLE_COPY_MOVE(SettingsWindow)

    advSettings &dialog();
    bool exists() const { return !m_dialog.isNull(); }

    // Shows the dialog modally over the window it is opened from and returns
    // once it is hidden or closed.
    void open(QWidget *over);
    std::chrono::seconds clearDelay();

    GenerationSettings currentSettings() override;

private:
    void discard();

    SettingsStore &m_store;
    Notice &m_notice;
    QPointer<QWidget> m_owner;
    QPointer<advSettings> m_dialog;
};

} // namespace lexiglow
