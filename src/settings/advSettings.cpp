#include "settings/advSettings.h"

#include "platform/DialogButtons.h"
#include "platform/Notice.h"
#include "platform/ScreenFit.h"
#include "platform/Twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lexiglow {

namespace {

QLineEdit *numberBox(const QString &objectName, const Twips &twips, QWidget *parent)
{
    auto *box = named(new QLineEdit(parent), objectName);
    setLeastSize(box, twips.size(615, 375));
    box->setMaximumWidth(twips.x(615) * 2);
    return box;
}

// A field's caption: its mnemonic takes the focus to the field, and a screen
// reader names the field after it.
QLabel *caption(const QString &objectName, const QString &text, QWidget *field)
{
    auto *label = named(new QLabel(text, field->parentWidget()), objectName);
    label->setBuddy(field);
    return label;
}

} // namespace

advSettings::advSettings(SettingsStore &store, Notice &notice, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_store(store)
    , m_notice(notice)
{
    setObjectName(QStringLiteral("advSettings"));
    setWindowTitle(QStringLiteral("Advanced Settings"));
    if (parent)
        setWindowIcon(parent->windowIcon());
    buildControls();
    setTabOrderOfControls();
    connect(m_ok, &QPushButton::clicked, this, &advSettings::ok);
    connect(m_cancel, &QPushButton::clicked, this, &advSettings::cancel);
    load();
}

void advSettings::buildControls()
{
    const Twips twips(this);
    m_frame = named(new QGroupBox(StoredControls::defaultCaption, this), QStringLiteral("Frame2"));
    m_minimum = numberBox(QStringLiteral("Text1"), twips, m_frame);
    m_maximum = numberBox(QStringLiteral("Text2"), twips, m_frame);
    m_count = numberBox(QStringLiteral("Text3"), twips, m_frame);
    m_strength = numberBox(QStringLiteral("Text4"), twips, m_frame);
    m_strength->setPlaceholderText(QStringLiteral("off"));
    m_minimum->setText(GenerationSettings().minimumLength);
    m_maximum->setText(GenerationSettings().maximumLength);
    m_count->setText(GenerationSettings().passwordCount);
    m_letterCase = named(new QComboBox(m_frame), QStringLiteral("Combo1"));
    m_letterCase->addItems(storedSettings::letterCaseItems());
    m_letterCase->setCurrentIndex(-1); // no item chosen until the load step
    setLeastSize(m_letterCase, twips.size(2175, 315));
    m_clearDelay = named(new QComboBox(m_frame), QStringLiteral("Combo2"));
    m_clearDelay->addItems(storedSettings::clearDelayItems());
    m_clearDelay->setCurrentText(StoredControls::defaultClearDelay);
    m_specialCharacters = named(new QCheckBox(QStringLiteral("Use &Special Characters ( ) * + , - . /"), m_frame),
                                QStringLiteral("Check2"));
    m_letterReplacement = named(new QCheckBox(QStringLiteral("Use Letter &Replacement (a = @, i = 1, e = 3)"), m_frame),
                                QStringLiteral("Check1"));
    // The replacement is the same every time, so someone who knows the
    // settings undoes it: it makes the passwords no harder to guess.
    auto *explanation = named(new QLabel(QStringLiteral("Every a, i and e is replaced the same way each time, so "
                                                        "this adds no strength against someone who knows your settings."),
                                         m_frame),
                              QStringLiteral("Label5"));
    explanation->setWordWrap(true);
    // As wide as designed; it wraps into as many lines as the font needs.
    explanation->setMinimumWidth(twips.x(4335));

    auto *grid = new QGridLayout(m_frame);
    grid->setContentsMargins(twips.x(120), twips.y(240), twips.x(240), twips.y(240));
    grid->setVerticalSpacing(twips.y(105));
    grid->setColumnMinimumWidth(0, twips.x(2175));
    grid->addWidget(caption(QStringLiteral("Label2"), QStringLiteral("&Minimum Password Length"), m_minimum), 0, 0);
    grid->addWidget(m_minimum, 0, 1, Qt::AlignLeft);
    grid->addWidget(caption(QStringLiteral("Label1"), QStringLiteral("Ma&ximum Password Length"), m_maximum), 1, 0);
    grid->addWidget(m_maximum, 1, 1, Qt::AlignLeft);
    grid->addWidget(caption(QStringLiteral("Label3"), QStringLiteral("&Passwords to Generate"), m_count), 2, 0);
    grid->addWidget(m_count, 2, 1, Qt::AlignLeft);
    grid->setRowMinimumHeight(3, twips.y(240));
    auto *caseRow = new QHBoxLayout;
    caseRow->setSpacing(twips.x(105));
    QLabel *caseLabel = caption(QStringLiteral("Label4"), QStringLiteral("&Letter Case"), m_letterCase);
    caseLabel->setMinimumWidth(twips.x(975));
    caseRow->addWidget(caseLabel);
    caseRow->addWidget(m_letterCase);
    caseRow->addStretch();
    grid->addLayout(caseRow, 4, 0, 1, 3);
    grid->addWidget(caption(QStringLiteral("Label6"), QStringLiteral("Clear Copied Password &After"), m_clearDelay), 5, 0);
    grid->addWidget(m_clearDelay, 5, 1, 1, 2, Qt::AlignLeft);
    grid->addWidget(m_specialCharacters, 6, 0, 1, 3);
    grid->addWidget(m_letterReplacement, 7, 0, 1, 3);
    auto *explanationRow = new QHBoxLayout;
    explanationRow->addSpacing(twips.x(240));
    explanationRow->addWidget(explanation);
    grid->addLayout(explanationRow, 8, 0, 1, 3);
    grid->addWidget(caption(QStringLiteral("Label7"), QStringLiteral("Minimum S&trength (bits)"), m_strength), 9, 0);
    grid->addWidget(m_strength, 9, 1, Qt::AlignLeft);
    grid->setColumnStretch(2, 1);
    setLeastSize(m_frame, twips.size(5175, 4335));

    m_ok = dialogButton(QStringLiteral("Command2"), QStringLiteral("&Ok"), this);
    m_cancel = dialogButton(QStringLiteral("Command1"), QStringLiteral("&Cancel"), this);
    // Enter keeps the edits, although "Cancel" comes first in the tab order.
    QHBoxLayout *buttons = okCancelRow(m_ok, m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(twips.x(120), twips.y(120), twips.x(150), twips.y(60));
    layout->setSpacing(twips.y(105));
    layout->addWidget(m_frame);
    layout->addLayout(buttons);
}

void advSettings::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        // A fixed size: the designed one, or larger where the fonts need more
        // room, but never larger than the screen.
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        setAttribute(Qt::WA_Resized, false);
        fitOnScreen(this, Twips(this).size(5445, 4995));
        setFixedSize(size());
    }
    QDialog::setVisible(visible);
}

void advSettings::setTabOrderOfControls()
{
    setTabOrder(m_letterReplacement, m_specialCharacters);
    setTabOrder(m_specialCharacters, m_minimum);
    setTabOrder(m_minimum, m_maximum);
    setTabOrder(m_maximum, m_count);
    setTabOrder(m_count, m_letterCase);
    setTabOrder(m_letterCase, m_clearDelay);
    setTabOrder(m_clearDelay, m_strength);
    setTabOrder(m_strength, m_cancel);
    setTabOrder(m_cancel, m_ok);
}

GenerationSettings advSettings::currentSettings()
{
    return controls().settings;
}

std::chrono::seconds advSettings::clearDelay() const
{
    return storedSettings::clearDelayFromText(m_clearDelay->currentText());
}

StoredControls advSettings::controls() const
{
    StoredControls result;
    result.frameCaption = m_frame->title();
    result.clearDelay = m_clearDelay->currentText();
    result.settings.minimumLength = m_minimum->text();
    result.settings.maximumLength = m_maximum->text();
    result.settings.passwordCount = m_count->text();
    result.settings.letterCase = m_letterCase->currentText();
    result.settings.letterReplacement = m_letterReplacement->isChecked();
    result.settings.specialCharacters = m_specialCharacters->isChecked();
    result.settings.minimumStrength = m_strength->text();
    return result;
}

void advSettings::fill(const StoredControls &controls)
{
    m_frame->setTitle(controls.frameCaption);
    m_clearDelay->setCurrentText(controls.clearDelay);
    m_minimum->setText(controls.settings.minimumLength);
    m_maximum->setText(controls.settings.maximumLength);
    m_count->setText(controls.settings.passwordCount);
    m_letterCase->setCurrentText(controls.settings.letterCase);
    m_letterReplacement->setChecked(controls.settings.letterReplacement);
    m_specialCharacters->setChecked(controls.settings.specialCharacters);
    m_strength->setText(controls.settings.minimumStrength);
}

void advSettings::load()
{
    StoredControls current = controls();
    storedSettings::restore(m_store, current);
    fill(current);
}

void advSettings::ok()
{
    // A value a batch would refuse, or run with to no purpose, is caught
    // here, all of them at once, rather than one at a time at later batches.
    if (const QList<SettingProblem> problems = checkSettings(controls().settings); !problems.isEmpty()) {
        refuse(problems);
        return;
    }
    if (!storedSettings::store(m_store, controls())) {
        m_notice.tell(QStringLiteral("The settings could not be saved. They stay in force until Lexiglow closes."));
    }
    // hide(), not accept(): the dialog and its values stay for the whole run.
    hide();
}

void advSettings::refuse(const QList<SettingProblem> &problems)
{
    QStringList sentences;
    for (const SettingProblem &problem : problems)
        sentences.append(problemSentence(problem));
    m_notice.tell(sentences.join(u'\n')
                  + QStringLiteral("\n\nNothing was saved. Correct it and press Ok, or press Cancel."));
    // In the order of SettingProblem::Field.
    QLineEdit *const fields[] = {m_minimum, m_maximum, m_count, m_strength};
    QLineEdit *field = fields[int(problems.front().field)];
    field->setFocus();
    field->selectAll();
}

void advSettings::cancel()
{
    load();
    hide();
}

void advSettings::reject()
{
    cancel();
}

void advSettings::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit discarded();
}

} // namespace lexiglow
