#include "library/frmMain.h"

#include "about/Logo.h"
#include "about/frmSplash.h"
#include "generation/passSug.h"
#include "library/FailureList.h"
#include "library/LargeList.h"
#include "library/NewWordList.h"
#include "library/WordListView.h"
#include "platform/BusyCursor.h"
#include "platform/FileDialog.h"
#include "platform/Notice.h"
#include "platform/Readable.h"
#include "platform/ScreenFit.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QRadialGradient>
#include <QVBoxLayout>

#include <algorithm>

namespace lexiglow {

namespace {

// Word lists and text files in any letter case, and every file.
QString addListFilter()
{
    return qtFileFilter(QStringLiteral("Lexiglow Files|%1|Text Files|%2|All Files|*")
                            .arg(anyCasePatterns(u"lxg"), anyCasePatterns(u"txt")));
}


QPushButton *button(const QString &objectName, const QString &caption, QSize least, QWidget *parent)
{
    auto *result = new QPushButton(caption, parent);
    result->setObjectName(objectName);
    setLeastSize(result, least);
    // Enter presses the button that has the focus, as Space does.
    result->setAutoDefault(true);
    return result;
}

} // namespace

frmMain::frmMain(const WindowServices &services, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_services(services)
    , m_library(services.store)
    , m_settings(services.store, services.notice, this)
    , m_clipboard(services.clearTimer, [this] { return m_settings.clearDelay(); })
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Lexiglow Passwords"));
    setWindowIcon(logoIcon());
    readable::setPageBackdrop(this);
    buildControls();
    setTabOrderOfControls();
    // Files dropped on the window are added as Add List adds them.
    setAcceptDrops(true);
    connect(m_suggest, &QPushButton::clicked, this, &frmMain::suggestPasswords);
    connect(m_advancedSettings, &QPushButton::clicked, this, [this] { m_settings.open(this); });
    connect(m_addList, &QPushButton::clicked, this, &frmMain::addList);
    connect(m_deleteList, &QPushButton::clicked, this, &frmMain::deleteList);
    connect(m_about, &QPushButton::clicked, this, &frmMain::showAbout);
    // Ends the program at once; the library was stored after its last change.
    connect(m_close, &QPushButton::clicked, qApp, &QCoreApplication::quit);
}

frmMain::~frmMain() = default;

void frmMain::buildControls()
{
    const Twips twips(this);
    auto *slogan = new QLabel(QStringLiteral("Passwords you can remember, from words you choose."), this);
    slogan->setObjectName(QStringLiteral("Label1"));
    slogan->setWordWrap(true);
    slogan->setAlignment(Qt::AlignCenter);
    m_suggest = button(QStringLiteral("sugPass"), QStringLiteral("&Suggest Passwords"), twips.size(2055, 975), this);
    QFont suggestFont = m_suggest->font();
    suggestFont.setBold(true);
    m_suggest->setFont(suggestFont);
    // What Enter does in the word lists.
    m_suggest->setDefault(true);
    m_advancedSettings =
        button(QStringLiteral("Command1"), QStringLiteral("&Advanced Settings"), twips.size(2055, 495), this);
    m_about = button(QStringLiteral("Command7"), QStringLiteral("A&bout"), twips.size(1215, 495), this);
    m_close = button(QStringLiteral("Command2"), QStringLiteral("&Close"), twips.size(1455, 495), this);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(m_about);
    bottom->addSpacing(twips.x(105));
    bottom->addWidget(m_close);

    // Extra room goes to the word lists.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(twips.x(120), twips.y(240), twips.x(120), twips.y(90));
    layout->setSpacing(0);
    layout->addWidget(slogan);
    layout->addSpacing(twips.y(225));
    layout->addWidget(m_suggest, 0, Qt::AlignHCenter);
    layout->addSpacing(twips.y(345));
    layout->addWidget(m_advancedSettings, 0, Qt::AlignHCenter);
    layout->addSpacing(twips.y(105));
    layout->addWidget(buildWordLists(), 1);
    layout->addSpacing(twips.y(105));
    layout->addLayout(bottom);
}

QWidget *frmMain::buildWordLists()
{
    const Twips twips(this);
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Picture1"));
    m_wordLists = panel;
    auto *frame = new QGroupBox(QStringLiteral("&Word Lists"), panel);
    frame->setObjectName(QStringLiteral("Frame1"));

    m_listView = new WordListView(frame);
    m_listView->installEventFilter(this);

    m_addList = button(QStringLiteral("Command6"), QStringLiteral("Add &List"), twips.size(1215, 375), frame);
    m_deleteList = button(QStringLiteral("Command5"), QStringLiteral("&Delete List"), twips.size(1215, 375), frame);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(twips.x(105));
    buttons->addWidget(m_addList);
    buttons->addWidget(m_deleteList);
    buttons->addStretch();
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(twips.x(120), twips.y(120), twips.x(120), twips.y(120));
    frameLayout->setSpacing(twips.y(105));
    frameLayout->addWidget(m_listView, 1);
    frameLayout->addLayout(buttons);
    auto *panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(twips.x(120), 0, twips.x(120), twips.y(120));
    panelLayout->addWidget(frame);
    return panel;
}

void frmMain::setTabOrderOfControls()
{
    setTabOrder(m_suggest, m_listView);
    setTabOrder(m_listView, m_advancedSettings);
    setTabOrder(m_advancedSettings, m_close);
    setTabOrder(m_close, m_deleteList);
    setTabOrder(m_deleteList, m_addList);
    setTabOrder(m_addList, m_about);
}

void frmMain::load()
{
    {
        frmSplash splash(m_services.urlOpener, m_services.website, m_services.splashDelay, this);
        splash.showModal();
    }
    bool saved = true;
    QStringList unreadable;
    {
        const BusyCursor busy;
        saved = m_library.loadf(m_services.programFolder);
        unreadable = rebuildRows();
    }
    fitOnScreen(this, Twips(this).size(6255, 6105));
    show();
    // Told over the window they concern, once it is there.
    if (!m_library.warning().isEmpty())
        m_services.notice.tell(m_library.warning());
    if (!saved)
        tellSaveFailure();
    tellUnreadable(unreadable);
}

void frmMain::comeToFront()
{
    if (isVisible()) {
        showNormal();
        raise();
        activateWindow();
    }
    if (QWidget *waitedFor = QApplication::activeModalWidget()) {
        waitedFor->raise();
        waitedFor->activateWindow();
    }
}

void frmMain::suggestPasswords()
{
    passSug &window = suggestions();
    window.buildlist(rows(), m_library.passfiles());
    window.generate();
    window.exec();
}

void frmMain::addList()
{
    m_services.fileDialog.startNextIn(addListFolder());
    if (const QString f = m_services.fileDialog.getOpenFileName(this, addListFilter()); !f.isEmpty())
        addFile(f);
    saveLibrary();
}

QString frmMain::addListFolder() const
{
    // The large list's folder, while the library lacks it: the way to far
    // stronger passwords than the lists a first start takes.
    const QString large = largeListPath(m_services.programFolder);
    if (large.isEmpty())
        return {};
    for (qsizetype entry = 1; entry <= m_library.count(); ++entry) {
        if (QDir::cleanPath(QDir::fromNativeSeparators(m_library.path(entry))) == large)
            return {};
    }
    return QDir::toNativeSeparators(QFileInfo(large).absolutePath());
}

void frmMain::addFile(const QString &path)
{
    // What the file holds decides, not its name: a list is read whole before
    // it is added, so that a file that cannot be read never gets in.
    const ChosenFile chosen = examineChosenFile(path);
    switch (chosen.kind) {
    case ChosenFile::Kind::WordList:
        addEntry(path);
        break;
    case ChosenFile::Kind::TextFile:
        if (const QString list = NewWordList(path, m_services.listFolder, m_services.notice, this).run(); !list.isEmpty())
            addEntry(list);
        break;
    case ChosenFile::Kind::Refused:
        m_services.notice.tell(QStringLiteral("This file was not added to your word lists:\n\n")
                               + listOfFailures({chosen.problem}));
        break;
    }
}

void frmMain::addEntry(const QString &path)
{
    const std::optional<qsizetype> entry = m_library.add(path);
    if (!entry) {
        m_services.notice.tell(
            QStringLiteral("The library already holds %1 word lists, as many as it can.").arg(ListLibrary::maxEntries));
        return;
    }
    QTreeWidgetItem *row = m_listView->addRow(*entry, path, readListSummary(path));
    m_listView->fitColumns();
    m_listView->setCurrentItem(row);
    m_listView->scrollToItem(row);
    saveLibrary();
}

void frmMain::dragEnterEvent(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && std::all_of(urls.cbegin(), urls.cend(), [](const QUrl &url) { return url.isLocalFile(); }))
        event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent *event)
{
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls())
        paths.append(QDir::toNativeSeparators(url.toLocalFile()));
    event->acceptProposedAction();
    // Taken in after the drop has ended, so that no dialog holds up the
    // program the files came from; one file after another.
    QMetaObject::invokeMethod(this, [this, paths] {
        for (const QString &path : paths)
            addFile(path);
        saveLibrary();
    }, Qt::QueuedConnection);
}

void frmMain::deleteList()
{
    const QList<QTreeWidgetItem *> selected = m_listView->selectedItems();
    if (selected.isEmpty())
        return;
    const std::optional<qsizetype> entry =
        ListLibrary::entryNumber(selected.first()->data(WordListView::useColumn, keyRole).toString());
    if (!entry)
        return;
    m_library.remove(*entry);
    saveLibrary();
    tellUnreadable(rebuildRows());
    saveLibrary();
}

void frmMain::showAbout()
{
    frmSplash about(m_services.urlOpener, m_services.website, m_services.splashDelay, this);
    about.stopAutoClose();
    about.showModal();
}

passSug &frmMain::suggestions()
{
    if (!m_suggestions) {
        m_suggestions = new passSug(m_services.random, m_settings, m_services.notice, m_clipboard, this);
        m_suggestions->setLargeList(largeListPath(m_services.programFolder));
        connect(m_suggestions, &passSug::listsRead, this,
                [this](const QList<UnreadList> &unread) { tellUnreadable(showUnread(unread)); });
        connect(m_suggestions, &passSug::discarded, this, [this] {
            m_suggestions->deleteLater();
            m_suggestions.clear();
        });
    }
    return *m_suggestions;
}

QList<ListRow> frmMain::rows() const
{
    QList<ListRow> result;
    for (int i = 0; i < m_listView->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = m_listView->topLevelItem(i);
        result.append({row->checkState(WordListView::useColumn) == Qt::Checked,
                       row->data(WordListView::useColumn, keyRole).toString()});
    }
    return result;
}

QStringList frmMain::rebuildRows()
{
    m_listView->clear();
    QStringList failures;
    for (qsizetype entry = 1; entry <= m_library.count(); ++entry) {
        const QString &path = m_library.path(entry);
        const ListSummary summary = readListSummary(path);
        m_listView->addRow(entry, path, summary);
        if (!summary.file.read() && newlyUnreadable(path))
            failures.append(summary.file.failure);
    }
    m_listView->fitColumns();
    return failures;
}

QStringList frmMain::showUnread(const QList<UnreadList> &unread)
{
    QStringList failures;
    QSet<qsizetype> unreadEntries;
    for (const UnreadList &list : unread) {
        unreadEntries.insert(list.entry);
        const QString &path = m_library.path(list.entry);
        if (QTreeWidgetItem *row = m_listView->rowOf(list.entry))
            m_listView->fillRow(row, path, {{}, {}, {ListFileResult::Outcome::Failed, list.failure}});
        if (newlyUnreadable(path))
            failures.append(list.failure);
    }
    // A ticked list that could not be read before and was now: its row
    // shows its name again.
    for (int i = 0; i < m_listView->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = m_listView->topLevelItem(i);
        const std::optional<qsizetype> entry =
            ListLibrary::entryNumber(row->data(WordListView::useColumn, keyRole).toString());
        if (entry && WordListView::isUnreadable(row) && row->checkState(WordListView::useColumn) == Qt::Checked
            && !unreadEntries.contains(*entry))
            m_listView->fillRow(row, m_library.path(*entry), readListSummary(m_library.path(*entry)));
    }
    m_listView->fitColumns();
    return failures;
}

bool frmMain::newlyUnreadable(const QString &path)
{
    if (m_toldUnreadable.contains(path))
        return false;
    m_toldUnreadable.insert(path);
    return true;
}

void frmMain::tellUnreadable(const QStringList &failures)
{
    if (failures.isEmpty())
        return;
    m_services.notice.tell(QStringLiteral("These word lists could not be read and add no words. Their rows say so; "
                                          "select one and press Delete List to take it out of your lists:\n\n")
                           + listOfFailures(failures));
}

void frmMain::saveLibrary()
{
    if (!m_library.savef())
        tellSaveFailure();
}

void frmMain::tellSaveFailure()
{
    if (m_toldSaveFailure)
        return;
    // Told once: the library stays usable in memory, and repeating the
    // message after every change would only get in the way.
    m_toldSaveFailure = true;
    m_services.notice.tell(QStringLiteral("Your word lists could not be saved. Lexiglow keeps working with "
                                          "them, but changes to the library will be lost when it closes."));
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    const auto *key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent *>(event) : nullptr;
    if (watched != m_listView || !key || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return QWidget::eventFilter(watched, event);
    // Space ticks or unticks the current row, whichever of its columns has
    // the focus.
    if (key->key() == Qt::Key_Space) {
        if (QTreeWidgetItem *row = m_listView->currentItem())
            row->setCheckState(WordListView::useColumn,
                               row->checkState(WordListView::useColumn) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        return true;
    }
    // Enter in the lists presses the default button, as in a dialog.
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        m_suggest->click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::changeEvent(QEvent *event)
{
    // The backdrop follows a change of theme while the program runs: the
    // theme's other colours reach the window as a change of its palette.
    // Setting the same backdrop again changes nothing and ends there.
    if (event->type() == QEvent::PaletteChange)
        readable::setPageBackdrop(this);
    QWidget::changeEvent(event);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    saveLibrary();
    event->accept();
}

void frmMain::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    // The decoration: a soft warm glow behind "Suggest Passwords", no
    // stronger than the theme's text stays readable on.
    QPainter painter(this);
    const QPointF centre = m_suggest->geometry().center();
    // It fades out before the word lists begin.
    QRadialGradient glow(centre, qMin(width() * 0.45, m_wordLists->y() - centre.y()));
    const QColor warm = readable::tintedBase(palette(), QColor(0xff, 0xc8, 0x7a), 0.45);
    glow.setColorAt(0.0, warm);
    glow.setColorAt(1.0, QColor(warm.red(), warm.green(), warm.blue(), 0));
    painter.fillRect(rect(), glow);
}

} // namespace lexiglow
