#include "settings/SettingsWindow.h"

#include "settings/advSettings.h"

namespace lexiglow {

SettingsWindow::SettingsWindow(SettingsStore &store, Notice &notice, QWidget *owner)
    : m_store(store)
    , m_notice(notice)
    , m_owner(owner)
{
}

SettingsWindow::~SettingsWindow()
{
    delete m_dialog.data();
}

advSettings &SettingsWindow::dialog()
{
    if (!m_dialog) {
        m_dialog = new advSettings(m_store, m_notice, m_owner);
        QObject::connect(m_dialog, &advSettings::discarded, m_dialog, [this] { discard(); });
    }
    return *m_dialog;
}

void SettingsWindow::open(QWidget *over)
{
    // It belongs to the window it is opened from while it is shown, and to
    // its owner again afterwards, so that it outlives that window.
    dialog().setParent(over, dialog().windowFlags());
    dialog().exec();
    if (m_dialog)
        m_dialog->setParent(m_owner, m_dialog->windowFlags());
}

std::chrono::seconds SettingsWindow::clearDelay()
{
    return dialog().clearDelay();
}

GenerationSettings SettingsWindow::currentSettings()
{
    return dialog().currentSettings();
}

void SettingsWindow::discard()
{
    // Deleted later, because the dialog is still inside its close event; but
    // forgotten now, so that nothing reads its lost edits.
    m_dialog->deleteLater();
    m_dialog.clear();
}

} // namespace lexiglow
