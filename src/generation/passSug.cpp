#include "generation/passSug.h"

#include "generation/SuggestionText.h"
#include "platform/BusyCursor.h"
#include "platform/SecretClipboard.h"
#include "platform/Notice.h"
#include "platform/Readable.h"
#include "platform/ScreenFit.h"
#include "platform/Twips.h"
#include "settings/SettingsWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTextBlock>
#include <QVBoxLayout>

#include <algorithm>

namespace lexiglow {

namespace {

// Gathers a batch and hands it to the text box in one piece: adding a
// hundred thousand lines one by one would make the text box lay out the
// document a hundred thousand times.
class BatchText final : public SuggestionSink
{
public:
    void setText(const QString &text) override { m_text = text; }
    void append(QStringView text) override { m_text += text; }
    const QString &text() const { return m_text; }

private:
    QString m_text;
};

QPushButton *button(const QString &objectName, const QString &caption, QWidget *parent)
{
    auto *result = new QPushButton(caption, parent);
    setLeastSize(result, Twips(parent).size(1215, 375));
    result->setObjectName(objectName);
    return result;
}

// A line under the passwords: it wraps, and while it says something the Tab
// key stops on it, so that a screen reader reads it out.
QLabel *line(const QString &objectName, QWidget *parent)
{
    auto *result = new QLabel(parent);
    result->setObjectName(objectName);
    result->setWordWrap(true);
    result->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    result->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // A line's room even while it is empty, so that the passwords do not
    // move when it fills.
    result->setMinimumHeight(result->fontMetrics().lineSpacing());
    // Focusable while the tab order is set, which passes over what is not.
    result->setFocusPolicy(Qt::TabFocus);
    return result;
}

// The background of a weak password's line: the theme's Base tinted red, as
// far as its Text stays readable on it.
QColor weakMarkColour(const QPalette &palette)
{
    return readable::tintedBase(palette, QColor(255, 0, 0), 0.25);
}

// What the user is told about a setting a batch cannot use.
QString problemText(const SettingProblem &problem)
{
    const QString name = settingName(problem.field);
    if (problem.reason == SettingProblem::Reason::TooLarge) {
        return QStringLiteral("%1 can be at most %2.\nChange it in Advanced Settings.")
            .arg(name)
            .arg(PasswordRequest::maxCount);
    }
    return QStringLiteral("%1 is not a number: \"%2\".\nChange it in Advanced Settings.").arg(name, problem.text);
}

// Verdana at 12 points, or at the size of the rest of the window where that
// is larger.
QFont suggestionFont(const QFont &windowFont)
{
    QFont font(QStringLiteral("Verdana"));
    // Where Verdana is not installed, a wide sans-serif face of the same kind.
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(std::max(12.0, windowFont.pointSizeF()));
    return font;
}

} // namespace

passSug::passSug(RandomSource &random, SettingsWindow &settings, Notice &notice, SecretClipboard &clipboard,
                 QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_clipboard(clipboard)
    , m_notice(notice)
    , m_engine(random, notice)
{
    setObjectName(QStringLiteral("passSug"));
    setWindowTitle(title);
    if (parent)
        setWindowIcon(parent->windowIcon());
    buildControls();
    connect(m_close, &QPushButton::clicked, this, &passSug::closeWindow);
    connect(m_newList, &QPushButton::clicked, this, &passSug::generate);
    connect(m_modifySettings, &QPushButton::clicked, this, &passSug::modifySettings);
    connect(m_text, &SuggestionText::passwordChosen, this, &passSug::copyPassword);
    connect(&m_clipboard, &SecretClipboard::cleared, m_status, [this] {
        m_status->setText(QStringLiteral("The clipboard no longer holds the password."));
        showLines();
    });
    connect(m_text, &QPlainTextEdit::cursorPositionChanged, this, &passSug::showPasswordAtCursor);
}

void passSug::buildControls()
{
    const Twips twips(this);
    auto *explanation = new QLabel(
        QStringLiteral("&Below are passwords made from your word lists. How hard they are to guess is shown under "
                       "the list; weak ones are marked in red."),
        this);
    explanation->setObjectName(QStringLiteral("Label1"));
    explanation->setWordWrap(true);
    m_text = new SuggestionText(QStringLiteral("Generating Your Suggestions ..."), this);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setAccessibleName(QStringLiteral("Password suggestions"));
    m_text->setAccessibleDescription(QStringLiteral("One password a line. Ctrl+C copies the password at the cursor."));
    explanation->setBuddy(m_text);
    m_text->setFont(suggestionFont(font()));
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setTabChangesFocus(true);
    m_text->setSizeHint(twips.size(4815, 3855));
    // The heading, the blank line and three passwords, however small the
    // window.
    m_text->setMinimumHeight(m_text->fontMetrics().lineSpacing() * 5 + 2 * m_text->frameWidth());
    m_strengthLine = line(QStringLiteral("lblStrength"), this);
    m_passwordLine = line(QStringLiteral("lblPasswordStrength"), this);
    m_status = line(QStringLiteral("lblStatus"), this);
    m_modifySettings = button(QStringLiteral("Command3"), QStringLiteral("&Modify Settings"), this);
    m_newList = button(QStringLiteral("Command2"), QStringLiteral("&New List"), this);
    m_close = button(QStringLiteral("Command1"), QStringLiteral("&Close"), this);
    // Enter in the passwords closes the window, as Esc does.
    m_close->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_modifySettings);
    buttons->addStretch();
    buttons->addWidget(m_newList);
    buttons->addStretch();
    buttons->addWidget(m_close);
    // The passwords take the room the lines under them leave.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(twips.x(120), twips.y(120), twips.x(120), twips.y(120));
    layout->setSpacing(twips.y(120));
    layout->addWidget(explanation);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_strengthLine);
    layout->addWidget(m_passwordLine);
    layout->addWidget(m_status);
    layout->addLayout(buttons);

    setTabOrder(m_text, m_close);
    setTabOrder(m_close, m_newList);
    setTabOrder(m_newList, m_modifySettings);
    setTabOrder(m_modifySettings, m_strengthLine);
    setTabOrder(m_strengthLine, m_passwordLine);
    setTabOrder(m_passwordLine, m_status);
    showLines();
}

void passSug::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        fitOnScreen(this, Twips(this).size(5055, 5445));
        // Each batch is met in the passwords, wherever the focus was left.
        m_text->setFocus();
    }
    QDialog::setVisible(visible);
}

bool passSug::event(QEvent *event)
{
    const bool handled = QDialog::event(event);
    // The layout has taken in a changed text: the lines under the passwords
    // may wrap into more lines than the window has room for.
    if (event->type() == QEvent::LayoutRequest)
        keepRoomForContent(this);
    return handled;
}

void passSug::showLines()
{
    for (QLabel *line : {m_strengthLine, m_passwordLine, m_status})
        line->setFocusPolicy(line->text().isEmpty() ? Qt::NoFocus : Qt::TabFocus);
}

QList<UnreadList> passSug::buildlist(const QList<ListRow> &rows, const QStringList &passfiles)
{
    const BusyCursor busy;
    QList<UnreadList> unread = m_engine.gatherLists(rows, passfiles);
    m_engine.setStrength(nullptr);
    m_strength.reset(); // of the old pool
    return unread;
}

void passSug::generate()
{
    const BusyCursor busy;
    const auto lines = qScopeGuard([this] { showLines(); });
    m_status->clear(); // it spoke of a password of the old batch
    BatchText batch;
    const RequestReading reading = readRequest(m_settings.currentSettings());
    if (!prepareStrength(reading)) {
        m_text->setPlainText(SuggestionEngine::heading + SuggestionEngine::lineBreak);
        return;
    }
    BatchReport report;
    if (!reading.problems.isEmpty() && reading.problems.front().field != SettingProblem::Field::Floor) {
        batch.setText(SuggestionEngine::heading + SuggestionEngine::lineBreak);
        m_notice.tell(problemText(reading.problems.front()));
    } else {
        report = m_engine.generate(reading.request, batch);
    }
    m_text->setPlainText(batch.text());
    if (report.randomFailed) {
        m_strengthLine->clear(); // the engine said why there is no batch
        return;
    }
    showStrength();
    if (report.outsideLimits > 0 && m_strength && m_strength->anyFits()) {
        m_strengthLine->setText(m_strengthLine->text()
                                + QStringLiteral(" %1 of these passwords break the length limits: no candidate within "
                                                 "them came up.")
                                      .arg(report.outsideLimits));
    }
}

bool passSug::prepareStrength(const RequestReading &reading)
{
    m_passwordLine->clear();
    if (!reading.rulesRead()) {
        m_engine.setStrength(nullptr);
        m_strength.reset();
        m_strengthLine->clear();
        return true; // the user is told which length is not a number
    }
    // Worked out once per pool and rules, not per batch or password.
    const PasswordRules &rules = reading.request.rules;
    if (!m_strength || !(m_strengthRules == rules)) {
        m_strength = std::make_unique<StrengthModel>(m_engine.pool(), rules);
        m_strengthRules = rules;
    }
    m_engine.setStrength(m_strength.get());
    const SettingProblem *floorProblem = reading.problemWith(SettingProblem::Field::Floor);
    FloorOutcome outcome = m_strength->setFloor(reading.request.floor);
    if (floorProblem && !m_strength->workedOut())
        outcome.kind = FloorOutcome::Kind::NotWorkedOut;
    QString refusal;
    switch (outcome.kind) {
    case FloorOutcome::Kind::None:
    case FloorOutcome::Kind::Met:
        if (!floorProblem)
            return true;
        refusal = QStringLiteral("Minimum Strength is not a number: \"%1\".").arg(floorProblem->text);
        break;
    case FloorOutcome::Kind::NotWorkedOut:
        m_strengthLine->setText(QStringLiteral("Minimum Strength needs the strength of these lists, which could not be "
                                               "worked out. No passwords were made; clear it in Advanced Settings."));
        return false;
    case FloorOutcome::Kind::Unreachable:
        refusal = QStringLiteral("These lists and settings cannot give %1 bits; the highest Minimum Strength they can "
                                 "reach is %2 bits.")
                      .arg(outcome.floor, 0, 'f', 2)
                      .arg(outcome.highest, 0, 'f', 2);
        break;
    case FloorOutcome::Kind::TooFewFit:
        refusal = QStringLiteral("Too few passwords fit the length limits for any Minimum Strength.");
        break;
    }
    m_strengthLine->setText(refusal + QStringLiteral(" No passwords were made; change it in Advanced Settings."));
    return false;
}

void passSug::showStrength()
{
    if (!m_strength)
        return;
    const StrengthFigures &figures = m_strength->figures();
    if (!m_strength->workedOut()) {
        m_strengthLine->setText(QStringLiteral("The strength of these lists and settings could not be worked out in "
                                               "time: too many of their words run into one another."));
        m_text->setExtraSelections({});
        showPasswordAtCursor();
        return;
    }
    if (!m_strength->hasWords()) {
        m_strengthLine->setText(QStringLiteral("The ticked lists hold no word, so every password is a number and "
                                               "easy to guess."));
    } else if (!m_strength->anyFits()) {
        m_strengthLine->setText(QStringLiteral("No password can be as long as the Minimum Password Length and no "
                                               "longer than the Maximum, so these ignore the limits."));
    } else {
        m_strengthLine->setText(QStringLiteral("Strength of these settings: %1 bits (%2) for an attacker who knows "
                                               "your lists and settings; the likeliest password has %3 bits.")
                                    .arg(figures.entropy, 0, 'f', 1)
                                    .arg(strengthVerdict(figures.entropy))
                                    .arg(figures.minEntropy, 0, 'f', 1));
    }
    // A weak password's line gets a background tinted red, with text that
    // reads well on it whatever the theme.
    const QColor weakMark = weakMarkColour(m_text->palette());
    QList<QTextEdit::ExtraSelection> marks;
    for (QTextBlock block = m_text->document()->begin().next(); block.isValid(); block = block.next()) {
        const std::optional<double> bits = m_strength->bits(block.text());
        if (block.text().isEmpty() || (bits && *bits >= 40))
            continue;
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(block);
        mark.format.setBackground(weakMark);
        mark.format.setForeground(readable::textOn(weakMark, m_text->palette().color(QPalette::Text)));
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks.append(mark);
    }
    m_text->setExtraSelections(marks);
    showPasswordAtCursor();
}

void passSug::showPasswordAtCursor()
{
    const QTextBlock block = m_text->textCursor().block();
    const std::optional<double> bits = m_strength && block.blockNumber() > 0 && !block.text().isEmpty()
        ? m_strength->bits(block.text())
        : std::nullopt;
    m_passwordLine->setText(bits ? QStringLiteral("The password at the cursor: %1 bits (%2).")
                                       .arg(*bits, 0, 'f', 1)
                                       .arg(strengthVerdict(*bits))
                                 : QString());
    showLines();
}

void passSug::modifySettings()
{
    m_settings.open(this);
    // A new batch however the dialog was left, "Cancel" and close box included.
    generate();
}

void passSug::copyPassword(const QString &password)
{
    m_clipboard.copy(password);
    const std::chrono::seconds delay = m_settings.clearDelay();
    m_status->setText(delay.count() ? QStringLiteral("Password copied. The clipboard is cleared in %1 s.").arg(delay.count())
                                    : QStringLiteral("Password copied. It stays on the clipboard until Lexiglow closes."));
    showLines();
}


void passSug::closeWindow()
{
    m_text->setPlainText(SuggestionEngine::heading);
    // hide(), not accept(): the window and its word pool stay for the next use.
    hide();
}

void passSug::reject()
{
    closeWindow();
}

void passSug::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit discarded();
}

} // namespace lexiglow
