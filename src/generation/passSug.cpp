#include "generation/passSug.h"

#include "generation/SuggestionText.h"
#include "platform/BusyCursor.h"
#include "platform/SecretClipboard.h"
#include "platform/Twips.h"
#include "settings/SettingsWindow.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

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
    result->setMinimumSize(Twips(parent).size(1215, 375));
    result->setObjectName(objectName);
    result->setAutoDefault(false);
    return result;
}

QFont suggestionFont()
{
    QFont font(QStringLiteral("Verdana"));
    // Where Verdana is not installed, a wide sans-serif face of the same kind.
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(12);
    return font;
}

} // namespace

passSug::passSug(RandomSource &random, SettingsWindow &settings, Notice &notice, SecretClipboard &clipboard,
                 QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_clipboard(clipboard)
    , m_engine(random, settings, notice)
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
    connect(&m_clipboard, &SecretClipboard::cleared, m_status,
            [this] { m_status->setText(QStringLiteral("The clipboard no longer holds the password.")); });
}

void passSug::buildControls()
{
    const Twips twips(this);
    auto *explanation = new QLabel(QStringLiteral("Below is a list of secure passwords you can choose from."), this);
    explanation->setObjectName(QStringLiteral("Label1"));
    explanation->setWordWrap(true);
    m_text = new SuggestionText(QStringLiteral("Generating Your Suggestions ..."), this);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setFont(suggestionFont());
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setTabChangesFocus(true);
    m_text->setFixedSize(twips.size(4815, 3855));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setWordWrap(true);
    m_status->setMaximumWidth(m_text->width());
    // Room for the longest message from the start, so that nothing moves.
    m_status->setMinimumHeight(m_status->fontMetrics().lineSpacing() * 2);
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_modifySettings = button(QStringLiteral("Command3"), QStringLiteral("Modify Settings"), this);
    m_newList = button(QStringLiteral("Command2"), QStringLiteral("New List"), this);
    m_close = button(QStringLiteral("Command1"), QStringLiteral("Close"), this);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_modifySettings);
    buttons->addStretch();
    buttons->addWidget(m_newList);
    buttons->addStretch();
    buttons->addWidget(m_close);
    auto *content = new QVBoxLayout;
    content->setSpacing(twips.y(120));
    content->addWidget(explanation);
    content->addWidget(m_text);
    content->addWidget(m_status);
    content->addLayout(buttons);
    // The controls keep their places and sizes when the window is resized;
    // the window refuses to become smaller than they need.
    auto *layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    layout->setContentsMargins(twips.x(120), twips.y(120), twips.x(120), twips.y(120));
    layout->addLayout(content, 0, 0);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(1, 1);
    resize(layout->sizeHint().expandedTo(twips.size(5055, 5445)));

    setTabOrder(m_text, m_close);
    setTabOrder(m_close, m_newList);
    setTabOrder(m_newList, m_modifySettings);
}

void passSug::buildlist(const QList<ListRow> &rows, const QStringList &passfiles)
{
    const BusyCursor busy;
    m_engine.buildlist(rows, passfiles);
}

void passSug::generate()
{
    const BusyCursor busy;
    BatchText batch;
    m_engine.generate(batch);
    m_text->setPlainText(batch.text());
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
