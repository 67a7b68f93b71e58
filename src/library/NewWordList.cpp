#include "library/NewWordList.h"

#include "library/FailureList.h"
#include "platform/DialogButtons.h"
#include "platform/Notice.h"
#include "platform/ScreenFit.h"
#include "platform/Twips.h"
#include "store/FileError.h"
#include "store/ListFromText.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace lexiglow {

namespace {

// How long the window's thread waits for the count before the dialog shows:
// a small file is counted by then, and one that is no text file is told
// without the dialog flashing up first.
constexpr int quickCountMs = 50;

// A path that may wrap after each folder's name.
QString wrappable(const QString &path)
{
    QString shown = QDir::toNativeSeparators(path);
    shown.replace(QDir::separator(), QString(QDir::separator()) + QChar(0x200B));
    return shown;
}

} // namespace

NewWordList::NewWordList(const QString &textFile, const QString &listFolder, Notice &notice, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_textFile(textFile)
    , m_listFolder(listFolder)
    , m_notice(notice)
{
    setObjectName(QStringLiteral("NewWordList"));
    setWindowTitle(title);
    if (parent)
        setWindowIcon(parent->windowIcon());
    buildControls();
    connect(m_ok, &QPushButton::clicked, this, &NewWordList::accept);
    connect(m_cancel, &QPushButton::clicked, this, &NewWordList::reject);
    connect(m_name, &QLineEdit::textChanged, this, &NewWordList::showWarnings);
    connect(m_description, &QLineEdit::textChanged, this, &NewWordList::showWarnings);
}

NewWordList::~NewWordList()
{
    m_cancelled = true;
    if (m_worker)
        m_worker->wait(); // it stops at its next line
}

void NewWordList::buildControls()
{
    const Twips twips(this);
    auto *about = named(new QLabel(QStringLiteral("A word list is made of the lines of %1, one word a line, and "
                                                  "added to your word lists. It is kept in %2.")
                                       .arg(wrappable(m_textFile), wrappable(m_listFolder)),
                                   this),
                        QStringLiteral("lblFile"));
    about->setWordWrap(true);
    about->setMinimumWidth(twips.x(4800));
    m_name = named(new QLineEdit(QFileInfo(m_textFile).completeBaseName(), this), QStringLiteral("txtName"));
    m_description = named(new QLineEdit(this), QStringLiteral("txtDescription"));
    m_words = named(new QLabel(QStringLiteral("Counting the words\u2026"), this), QStringLiteral("lblWords"));
    m_words->setWordWrap(true);
    m_words->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // Tab stops on it, so that a screen reader reads the count out.
    m_words->setFocusPolicy(Qt::TabFocus);
    m_warnings = named(new QPlainTextEdit(this), QStringLiteral("txtWarnings"));
    m_warnings->setReadOnly(true);
    m_warnings->setTabChangesFocus(true);
    m_warnings->setAccessibleName(QStringLiteral("Warnings"));
    m_warnings->setMinimumHeight(m_warnings->fontMetrics().lineSpacing() * 4 + 2 * m_warnings->frameWidth());
    m_warnings->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    const auto row = [&](const QString &objectName, const QString &caption, QWidget *field) {
        auto *label = named(new QLabel(caption, this), objectName);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    row(QStringLiteral("lblName"), QStringLiteral("&Name"), m_name);
    row(QStringLiteral("lblDescription"), QStringLiteral("&Description"), m_description);
    form->addRow(named(new QLabel(QStringLiteral("Words"), this), QStringLiteral("lblWordsCaption")), m_words);
    row(QStringLiteral("lblWarnings"), QStringLiteral("&Warnings"), m_warnings);

    m_ok = dialogButton(QStringLiteral("cmdOk"), QStringLiteral("&Ok"), this);
    m_cancel = dialogButton(QStringLiteral("cmdCancel"), QStringLiteral("&Cancel"), this);
    m_ok->setEnabled(false); // until the words are counted
    QHBoxLayout *buttons = okCancelRow(m_ok, m_cancel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(twips.x(240), twips.y(240), twips.x(240), twips.y(120));
    layout->setSpacing(twips.y(180));
    layout->addWidget(about);
    layout->addLayout(form, 1);
    layout->addLayout(buttons);

    setTabOrder(m_name, m_description);
    setTabOrder(m_description, m_words);
    setTabOrder(m_words, m_warnings);
    setTabOrder(m_warnings, m_ok);
    setTabOrder(m_ok, m_cancel);
}

void NewWordList::setVisible(bool visible)
{
    if (visible && !isVisible())
        fitOnScreen(this, Twips(this).size(5445, 3600));
    QDialog::setVisible(visible);
}

QString NewWordList::run()
{
    count();
    if (m_worker->wait(QDeadlineTimer(quickCountMs)))
        workerFinished();
    if (m_stage == Stage::Counting || m_stage == Stage::Ready)
        exec();
    return m_written;
}

void NewWordList::count()
{
    startWorker(Stage::Counting);
}

void NewWordList::startWorker(Stage stage)
{
    m_stage = stage;
    m_outcome = {};
    ListFromText making{m_name->text(), m_description->text(),
                        [this](const QString &warning) { m_outcome.warnings.append(warning); }, &m_cancelled};
    m_worker.reset(QThread::create([this, making, file = m_textFile, folder = m_listFolder, write = stage == Stage::Writing] {
        try {
            if (write)
                m_outcome.written = makeListInFolder(file, folder, making);
            else
                m_outcome.words = countTextFile(file, making);
        } catch (const FileError &error) {
            m_outcome.failure = QString::fromStdString(error.what());
        } catch (const std::exception &error) {
            m_outcome.failure = QDir::toNativeSeparators(file) + QStringLiteral(": ") + QString::fromLocal8Bit(error.what());
        }
    }));
    connect(m_worker.get(), &QThread::finished, this, &NewWordList::workerFinished);
    m_worker->start();
}

void NewWordList::workerFinished()
{
    // The signal of a worker already taken care of comes late.
    if (!m_worker || !m_worker->isFinished())
        return;
    m_worker->wait();
    m_worker.reset();
    if (!m_outcome.failure.isEmpty()) {
        fail(m_outcome.failure);
    } else if (m_stage == Stage::Counting) {
        m_stage = Stage::Ready;
        m_lineWarnings = m_outcome.warnings;
        m_words->setText(m_outcome.words == 1 ? QStringLiteral("1 word") : QStringLiteral("%1 words").arg(m_outcome.words));
        m_ok->setEnabled(true);
        showWarnings();
    } else if (m_stage == Stage::Writing) {
        m_stage = Stage::Done;
        m_written = m_outcome.written;
        QDialog::accept();
    }
}

void NewWordList::showWarnings()
{
    QStringList warnings = checkListText(QStringLiteral("name"), m_name->text()).warnings
        + checkListText(QStringLiteral("description"), m_description->text()).warnings;
    if (m_stage != Stage::Counting)
        warnings += m_lineWarnings;
    if (warnings.isEmpty() && m_stage != Stage::Counting)
        warnings.append(QStringLiteral("None: every line makes a good word."));
    m_warnings->setPlainText(warnings.join(u'\n'));
}

bool NewWordList::textsFit()
{
    const auto refuse = [this](QLineEdit *field, const QString &message) {
        m_notice.tell(message);
        field->setFocus();
        field->selectAll();
        return false;
    };
    if (m_name->text().trimmed().isEmpty())
        return refuse(m_name, QStringLiteral("A word list needs a name."));
    for (QLineEdit *field : {m_name, m_description}) {
        const QString what = field == m_name ? QStringLiteral("name") : QStringLiteral("description");
        if (const QString refusal = checkListText(what, field->text()).refusal; !refusal.isEmpty())
            return refuse(field, refusal.left(1).toUpper() + refusal.mid(1) + u'.');
    }
    return true;
}

void NewWordList::accept()
{
    if (m_stage != Stage::Ready || !textsFit())
        return;
    for (QWidget *control : std::initializer_list<QWidget *>{m_name, m_description, m_ok})
        control->setEnabled(false);
    m_words->setText(QStringLiteral("Writing the list\u2026"));
    startWorker(Stage::Writing);
}

void NewWordList::reject()
{
    m_cancelled = true;
    if (m_worker) {
        m_worker->wait(); // it stops at its next line
        m_worker.reset();
        // Written in the moment before it saw the cancel: Cancel writes nothing.
        if (!m_outcome.written.isEmpty())
            QFile::remove(m_outcome.written);
    }
    m_stage = Stage::Done;
    QDialog::reject();
}

void NewWordList::fail(const QString &failure)
{
    m_stage = Stage::Done;
    QDialog::reject();
    m_notice.tell(QStringLiteral("No word list was made of this file:\n\n") + listOfFailures({failure}));
}

} // namespace lexiglow
