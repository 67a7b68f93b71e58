#pragma once

#include "settings/GenerationSettings.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <chrono>
#include <optional>

namespace lexiglow {

class SettingsStore;

// What the Advanced Settings dialog keeps between runs: the six settings and
// the caption of the group box that holds them. Each is stored as its
// control's principal value, in section "Values" under the control's name.
struct StoredControls
{
    static inline const QString defaultCaption = QStringLiteral("Advanced Settings");

    static inline const QString defaultClearDelay = QStringLiteral("30 seconds");

    QString frameCaption = defaultCaption;
    GenerationSettings settings;
    // How long a copied password stays on the clipboard, as the item chosen.
    QString clearDelay = defaultClearDelay;

    friend bool operator==(const StoredControls &, const StoredControls &) = default;
};

namespace storedSettings {

inline const QString section = QStringLiteral("Values");

inline const QString frameKey = QStringLiteral("Frame2");
inline const QString letterCaseKey = QStringLiteral("Combo1");
inline const QString minimumKey = QStringLiteral("Text1");
inline const QString maximumKey = QStringLiteral("Text2");
inline const QString countKey = QStringLiteral("Text3");
inline const QString replacementKey = QStringLiteral("Check1");
inline const QString specialKey = QStringLiteral("Check2");
inline const QString clearDelayKey = QStringLiteral("Combo2");
inline const QString strengthKey = QStringLiteral("Text4");

// The letter-case items in the order the drop-down list offers them.
QStringList letterCaseItems();

// The clipboard's clearing delays in the order the drop-down list offers
// them, "Never" first.
QStringList clearDelayItems();
// The delay an item names; zero for "Never", 30 seconds for any other text.
std::chrono::seconds clearDelayFromText(QStringView text);

// The keys of the stored controls, in the order they are restored and stored.
QStringList keys();

// A control's principal value as text: a tick box gives "0" or "1".
QString principalText(const StoredControls &controls, const QString &key);

// Applies a stored text the way the control takes it. A tick box takes a text
// that reads as the number 0 or 1; a drop-down list takes the text of one of
// its items, compared exactly. Anything else leaves the control as it was.
void applyText(StoredControls &controls, const QString &key, const QString &text);

std::optional<bool> tickFromText(QStringView text);
std::optional<QString> letterCaseFromText(QStringView text);

// The dialog's load step: a letter case with no item chosen becomes "Upper and
// Lower Case", then every stored control takes its stored text. A control
// with nothing stored keeps what it holds, because its current value is the
// default of the read.
void restore(const SettingsStore &store, StoredControls &controls);

// The dialog's "Ok": writes every stored control, unvalidated. Returns false
// when the store could not be written.
bool store(SettingsStore &store, const StoredControls &controls);

} // namespace storedSettings

} // namespace lexiglow
