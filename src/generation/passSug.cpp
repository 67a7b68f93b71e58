#include "generation/passSug.h"

#include "generation/StrengthWords.h"
#include "generation/SuggestionText.h"
#include "library/ListLibrary.h"
#include "platform/DialogButtons.h"
#include "platform/SecretClipboard.h"
#include "platform/Notice.h"
#include "platform/Readable.h"
#include "platform/ScreenFit.h"
#include "platform/Twips.h"
#include "settings/SettingsWindow.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>
#include <QtConcurrentRun>

#include <algorithm>

namespace lexiglow {

namespace {

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
    return problemSentence(problem) + QStringLiteral("\nChange it in Advanced Settings.");
}

// The lists the advice would read: every list of the library when some are
// not ticked, and the large list when the library lacks it.
AdviceLists adviceLists(const QList<ListRow> &rows, const QStringList &passfiles, const QString &largeList)
{
    AdviceLists lists{{}, largeList};
    QStringList every;
    bool someUnticked = false;
    for (const ListRow &row : rows) {
        const std::optional<qsizetype> entry = ListLibrary::entryNumber(row.key);
        if (!entry || *entry < 1 || *entry >= passfiles.size())
            continue;
        every.append(passfiles[*entry]);
        someUnticked = someUnticked || !row.checked;
    }
    if (someUnticked)
        lists.everyList = every;
    const QString large = QFileInfo(largeList).canonicalFilePath();
    for (const QString &path : passfiles.mid(1)) {
        if (!large.isEmpty() && QFileInfo(path).canonicalFilePath() == large)
            lists.largeList.clear();
    }
    return lists;
}

// What the user is told when the floor asked for is refused; empty when it
// is not.
QString floorRefusal(const FloorOutcome &outcome)
{
    switch (outcome.kind) {
    case FloorOutcome::Kind::None:
    case FloorOutcome::Kind::Met:
        return {};
    case FloorOutcome::Kind::NotWorkedOut:
        return QStringLiteral("Minimum Strength needs the strength of these lists, which could not be worked out. No "
                              "passwords were made; clear it in Advanced Settings.");
    case FloorOutcome::Kind::Unreachable:
        return QStringLiteral("These lists and settings cannot give %1 bits; the highest Minimum Strength they can "
                              "reach is %2 bits. No passwords were made; change it in Advanced Settings.")
            .arg(outcome.floor, 0, 'f', 2)
            .arg(outcome.highest, 0, 'f', 2);
    case FloorOutcome::Kind::TooFewFit:
        break;
    }
    return QStringLiteral("Too few passwords fit the length limits for any Minimum Strength. No passwords were made; "
                          "change it in Advanced Settings.");
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
    , m_random(random)
    , m_settings(settings)
    , m_clipboard(clipboard)
    , m_notice(notice)
    , m_work(std::make_unique<SuggestionWork>(random))
{
    m_worker.setMaxThreadCount(1);
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
    connect(m_text, &SuggestionText::shown, this, &passSug::showWorking);
}

passSug::~passSug()
{
    // The program ends at once: the work in hand stops at its next look at
    // its stop token, work not begun returns at once, and nothing waits for
    // more than that.
    m_poolStop.request_stop();
    m_requestStop.request_stop();
    m_worker.waitForDone();
}

void passSug::setModelMaker(ModelMaker makeModel)
{
    m_work = std::make_unique<SuggestionWork>(m_random, std::move(makeModel));
}

template <typename Work, typename Then>
void passSug::runOnWorker(Work work, Then then)
{
    using Result = std::invoke_result_t<Work>;
    auto *watcher = new QFutureWatcher<Result>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [watcher, then = std::move(then)] {
        then(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(&m_worker, std::move(work)));
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
    // Shown while the window works on a request; it takes no focus, and the
    // strength line says what it works on.
    m_busy = new QProgressBar(this);
    m_busy->setObjectName(QStringLiteral("busyIndicator"));
    m_busy->setAccessibleName(QStringLiteral("Working"));
    m_busy->setRange(0, 0);
    m_busy->setTextVisible(false);
    m_busy->hide();
    m_strengthLine = line(QStringLiteral("lblStrength"), this);
    m_adviceLine = line(QStringLiteral("lblAdvice"), this);
    m_passwordLine = line(QStringLiteral("lblPasswordStrength"), this);
    m_status = line(QStringLiteral("lblStatus"), this);
    m_modifySettings = dialogButton(QStringLiteral("Command3"), QStringLiteral("&Modify Settings"), this);
    m_newList = dialogButton(QStringLiteral("Command2"), QStringLiteral("&New List"), this);
    m_close = dialogButton(QStringLiteral("Command1"), QStringLiteral("&Close"), this);
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
    layout->addWidget(m_busy);
    layout->addWidget(m_strengthLine);
    layout->addWidget(m_adviceLine);
    layout->addWidget(m_passwordLine);
    layout->addWidget(m_status);
    layout->addLayout(buttons);

    setTabOrder(m_text, m_close);
    setTabOrder(m_close, m_newList);
    setTabOrder(m_newList, m_modifySettings);
    setTabOrder(m_modifySettings, m_strengthLine);
    setTabOrder(m_strengthLine, m_adviceLine);
    setTabOrder(m_adviceLine, m_passwordLine);
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
    for (QLabel *line : {m_strengthLine, m_adviceLine, m_passwordLine, m_status})
        line->setFocusPolicy(line->text().isEmpty() ? Qt::NoFocus : Qt::TabFocus);
}

void passSug::buildlist(const QList<ListRow> &rows, const QStringList &passfiles)
{
    supersede(); // of the old pool
    m_poolStop.request_stop();
    m_poolStop = std::stop_source();
    runOnWorker(
        [work = m_work.get(), rows, passfiles, lists = adviceLists(rows, passfiles, m_largeList),
         stop = m_poolStop.get_token()] {
            return stop.stop_requested() ? QList<UnreadList>() : work->buildlist(rows, passfiles, lists);
        },
        [this, stop = m_poolStop.get_token()](const QList<UnreadList> &unread) {
            if (!stop.stop_requested())
                emit listsRead(unread);
        });
}

void passSug::generate()
{
    supersede();
    const quint64 request = m_request;
    m_status->clear(); // it spoke of a password of the old batch
    m_text->showText(SuggestionEngine::heading + SuggestionEngine::lineBreak);
    const RequestReading reading = readRequest(m_settings.currentSettings());
    if (readable(reading)) {
        m_strengthLine->setText(QStringLiteral("Making the passwords and working out how strong they are..."));
        m_batchPending = m_advicePending = true;
        const std::stop_token stop = m_requestStop.get_token();
        runOnWorker(
            [work = m_work.get(), asked = reading.request, stop] {
                return stop.stop_requested() ? BatchOutcome{.stopped = true} : work->makeBatch(asked, stop);
            },
            [this, request](const BatchOutcome &outcome) {
                if (request == m_request)
                    showBatch(outcome);
            });
        runOnWorker(
            [work = m_work.get(), stop] {
                return stop.stop_requested() ? std::optional<StrengthAdvice>() : work->advise(stop);
            },
            [this, request](const std::optional<StrengthAdvice> &advice) {
                if (request == m_request)
                    showAdvice(advice);
            });
    }
    showWorking();
}

bool passSug::isWorking() const
{
    return m_batchPending || m_advicePending || m_text->isShowing();
}

void passSug::supersede()
{
    m_requestStop.request_stop();
    m_requestStop = std::stop_source();
    ++m_request;
    m_batchPending = m_advicePending = false;
    m_bits.clear();
    m_text->setMarks({}, {});
    m_strengthLine->clear();
    m_adviceLine->clear();
    m_passwordLine->clear();
}

void passSug::showWorking()
{
    const bool working = isWorking();
    m_busy->setVisible(working);
    if (working)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
    showLines();
}

bool passSug::readable(const RequestReading &reading)
{
    if (!reading.problems.isEmpty() && reading.problems.front().field != SettingProblem::Field::Floor) {
        m_notice.tell(problemText(reading.problems.front()));
        return false;
    }
    if (const SettingProblem *floor = reading.problemWith(SettingProblem::Field::Floor)) {
        m_strengthLine->setText(QStringLiteral("Minimum Strength is not a number: \"%1\". No passwords were made; "
                                               "change it in Advanced Settings.")
                                    .arg(floor->text));
        return false;
    }
    return true;
}

void passSug::showBatch(const BatchOutcome &outcome)
{
    m_batchPending = false;
    if (outcome.stopped) {
        showWorking();
        return;
    }
    for (const QString &message : outcome.messages)
        m_notice.tell(message);
    m_figures = outcome.figures;
    m_bits = outcome.bits;
    m_text->showText(outcome.text);
    if (outcome.report.randomFailed)
        m_strengthLine->clear(); // the user was told why there is no batch
    else
        showStrength(outcome);
    if (m_advicePending && !outcome.report.randomFailed && outcome.workedOut)
        m_adviceLine->setText(QStringLiteral("Working out what would make them stronger..."));
    showPasswordAtCursor();
    showWorking();
}

void passSug::showStrength(const BatchOutcome &outcome)
{
    if (const QString refusal = floorRefusal(outcome.floor); !refusal.isEmpty()) {
        m_strengthLine->setText(refusal);
        return;
    }
    if (!outcome.workedOut) {
        m_strengthLine->setText(QStringLiteral("The strength of these lists and settings could not be worked out in "
                                               "time: too many of their words run into one another."));
        return;
    }
    if (!outcome.hasWords) {
        m_strengthLine->setText(QStringLiteral("The ticked lists hold no word, so every password is a number and "
                                               "easy to guess."));
    } else if (!outcome.anyFits) {
        m_strengthLine->setText(QStringLiteral("No password can be as long as the Minimum Password Length and no "
                                               "longer than the Maximum, so these ignore the limits."));
    } else {
        m_strengthLine->setText(strengthSentences(outcome.figures));
    }
    if (outcome.report.outsideLimits > 0 && outcome.anyFits) {
        m_strengthLine->setText(m_strengthLine->text()
                                + QStringLiteral(" %1 of these passwords break the length limits: no candidate within "
                                                 "them came up.")
                                      .arg(outcome.report.outsideLimits));
    }
    // A weak password's line gets a background tinted red, on which the
    // theme's text reads well.
    std::vector<bool> weak(outcome.bits.size() + 2);
    for (std::size_t i = 0; i < outcome.bits.size(); ++i)
        weak[i + 2] = !(outcome.bits[i] >= 40.0);
    m_text->setMarks(std::move(weak), weakMarkColour(m_text->palette()));
}

void passSug::showAdvice(const std::optional<StrengthAdvice> &advice)
{
    m_advicePending = false;
    m_adviceLine->setText(advice && !advice->stopped ? adviceSentences(*advice, m_figures, m_largeList) : QString());
    showWorking();
}

void passSug::showPasswordAtCursor()
{
    const auto line = std::size_t(m_text->textCursor().block().blockNumber());
    const std::optional<double> bits = line >= 2 && line - 2 < m_bits.size() ? m_bits[line - 2] : std::nullopt;
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
    supersede();
    m_text->showText(SuggestionEngine::heading);
    showWorking();
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
