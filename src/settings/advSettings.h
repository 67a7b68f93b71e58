#pragma once

#include "settings/GenerationSettings.h"
#include "settings/StoredSettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace lexiglow {

class Notice;
class SettingsStore;

// The Advanced Settings dialog. Its controls hold the settings in force for
// the whole run; "Ok" stores them in section "Values", "Cancel" takes the
// stored values back, and both only hide the dialog. Closing it through its
// close box discards it, and with it every edit that "Ok" did not store.
class advSettings final : public QDialog, public SettingsSource
{
    Q_OBJECT

public:
    // Builds the controls with their initial content and runs the load step,
    // which restores the stored values, without showing anything.
    advSettings(SettingsStore &store, Notice &notice, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(advSettings)

    GenerationSettings currentSettings() override;
    // How long a copied password stays on the clipboard; zero is "Never".
    std::chrono::seconds clearDelay() const;

    // The load step: stored values replace the controls' content; a control
    // with nothing stored keeps what it shows.
    void load();

signals:
    // The user closed the dialog through its close box; its owner discards it.
    void discarded();

public slots:
    // Esc does what "Cancel" does.
    void reject() override;
    // Sized to its controls and its screen before it shows.
    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void setTabOrderOfControls();
    StoredControls controls() const;
    void fill(const StoredControls &controls);
    void ok();
    // Tells what keeps the settings from being stored, and puts the focus in
    // the first field named.
    void refuse(const QList<SettingProblem> &problems);
    void cancel();

    SettingsStore &m_store;
    Notice &m_notice;
    QGroupBox *m_frame = nullptr;
    QLineEdit *m_minimum = nullptr;
    QLineEdit *m_maximum = nullptr;
    QLineEdit *m_count = nullptr;
    QLineEdit *m_strength = nullptr; // bits, empty for no floor
    QComboBox *m_letterCase = nullptr;
    QComboBox *m_clearDelay = nullptr;
    QCheckBox *m_specialCharacters = nullptr;
    QCheckBox *m_letterReplacement = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace lexiglow
