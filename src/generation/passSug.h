#pragma once

#include "generation/StrengthModel.h"
#include "generation/SuggestionEngine.h"
#include "settings/GenerationSettings.h"

#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;

namespace lexiglow {

class Notice;
class RandomSource;
class SecretClipboard;
class SettingsWindow;
class SuggestionText;

// The suggestions window: shows a batch of passwords to select and copy
// from, and makes a new batch on "New List", or after the Advanced Settings
// dialog on "Modify Settings". It owns the word pool from one buildlist to the
// next. A status line under the passwords tells what was copied and when the
// clipboard is cleared.
class passSug final : public QDialog
{
    Q_OBJECT

public:
    static inline const QString title = QStringLiteral("Your Password Suggestions");

    passSug(RandomSource &random, SettingsWindow &settings, Notice &notice, SecretClipboard &clipboard,
            QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(passSug)

    // A fresh random sequence and the words of the ticked rows' lists.
    // Returns the rows whose list was not read, for the caller to tell.
    QList<UnreadList> buildlist(const QList<ListRow> &rows, const QStringList &passfiles);
    // Replaces the text by a new batch under the settings in force.
    void generate();

signals:
    // The user closed the window through its title bar; its owner discards it.
    void discarded();

public slots:
    // Esc does what "Close" does.
    void reject() override;
    // Sized to its controls and its screen before it shows.
    void setVisible(bool visible) override;

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    // Lets Tab stop on the lines under the passwords that say something.
    void showLines();
    void modifySettings();
    void closeWindow();
    void copyPassword(const QString &password);
    // The model of the pool and the rules read, with their floor; false,
    // after saying so, when there is to be no batch.
    bool prepareStrength(const RequestReading &reading);
    void showStrength();
    void showPasswordAtCursor();

    SettingsWindow &m_settings;
    SecretClipboard &m_clipboard;
    Notice &m_notice;
    SuggestionEngine m_engine;
    std::unique_ptr<StrengthModel> m_strength; // of the pool and m_strengthRules
    PasswordRules m_strengthRules;
    SuggestionText *m_text = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_strengthLine = nullptr;
    QLabel *m_passwordLine = nullptr;
    QPushButton *m_modifySettings = nullptr;
    QPushButton *m_newList = nullptr;
    QPushButton *m_close = nullptr;
};

} // namespace lexiglow
