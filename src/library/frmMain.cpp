#include "library/frmMain.h"

#include "about/Logo.h"
#include "about/frmSplash.h"
#include "generation/passSug.h"
#include "library/FailureList.h"
#include "platform/BusyCursor.h"
#include "platform/FileDialog.h"
#include "platform/Notice.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadialGradient>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lexiglow {

namespace {

const QString addListFilter = QStringLiteral("Lexiglow Files|*.lxg");

enum Column { useColumn, nameColumn, descriptionColumn };

QPushButton *button(const QString &objectName, const QString &caption, QSize minimum, QWidget *parent)
{
    auto *result = new QPushButton(caption, parent);
    result->setObjectName(objectName);
    result->setMinimumSize(minimum);
    return result;
}

void makeWhite(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::white);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

frmMain::frmMain(const WindowServices &services, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
    , m_services(services)
    , m_library(services.store)
    , m_settings(services.store, services.notice, this)
    , m_clipboard(services.clearTimer, [this] { return m_settings.clearDelay(); })
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Lexiglow Passwords"));
    setWindowIcon(logoIcon());
    makeWhite(this);
    buildControls();
    setTabOrderOfControls();
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
    m_suggest = button(QStringLiteral("sugPass"), QStringLiteral("Suggest Passwords"), twips.size(2055, 975), this);
    QFont suggestFont = m_suggest->font();
    suggestFont.setBold(true);
    m_suggest->setFont(suggestFont);
    m_advancedSettings =
        button(QStringLiteral("Command1"), QStringLiteral("Advanced Settings"), twips.size(2055, 495), this);
    m_about = button(QStringLiteral("Command7"), QStringLiteral("About"), twips.size(1215, 495), this);
    m_close = button(QStringLiteral("Command2"), QStringLiteral("Close"), twips.size(1455, 495), this);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(m_about);
    bottom->addSpacing(twips.x(105));
    bottom->addWidget(m_close);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(twips.x(120), twips.y(240), twips.x(120), twips.y(90));
    layout->setSpacing(0);
    layout->addWidget(slogan, 0, Qt::AlignHCenter);
    layout->addSpacing(twips.y(225));
    layout->addWidget(m_suggest, 0, Qt::AlignHCenter);
    layout->addSpacing(twips.y(345));
    layout->addWidget(m_advancedSettings, 0, Qt::AlignHCenter);
    layout->addSpacing(twips.y(105));
    layout->addWidget(buildWordLists());
    layout->addSpacing(twips.y(105));
    layout->addLayout(bottom);
    // A fixed window: as large as the layout in twips, or larger where the
    // fonts need more room.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget *frmMain::buildWordLists()
{
    const Twips twips(this);
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Picture1"));
    panel->setMinimumSize(twips.size(6015, 2775));
    m_wordLists = panel;
    makeWhite(panel);
    auto *frame = new QGroupBox(QStringLiteral("Word Lists"), panel);
    frame->setObjectName(QStringLiteral("Frame1"));

    m_listView = new QTreeWidget(frame);
    m_listView->setObjectName(QStringLiteral("ListView1"));
    m_listView->setHeaderLabels({QStringLiteral("Use"), QStringLiteral("List Name"), QStringLiteral("Description")});
    m_listView->setRootIsDecorated(false);
    m_listView->setUniformRowHeights(true);
    m_listView->setAllColumnsShowFocus(true);
    m_listView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView->setMinimumWidth(twips.x(5535));
    m_listView->installEventFilter(this);
    // Its own height, or more where the heading and one row need it; more
    // rows scroll.
    m_listView->setFixedHeight(qMax(twips.y(1815), m_listView->header()->sizeHint().height()
                                                       + m_listView->fontMetrics().height() * 3));
    QHeaderView *header = m_listView->header();
    header->setStretchLastSection(true);
    // The columns' widths in twips, or wider where a heading needs it.
    header->resizeSection(useColumn, qMax(twips.x(500), header->sectionSizeHint(useColumn)));
    header->resizeSection(nameColumn, qMax(twips.x(1440), header->sectionSizeHint(nameColumn)));
    header->resizeSection(descriptionColumn, qMax(twips.x(3311), header->sectionSizeHint(descriptionColumn)));

    m_addList = button(QStringLiteral("Command6"), QStringLiteral("Add List"), twips.size(1215, 375), frame);
    m_deleteList = button(QStringLiteral("Command5"), QStringLiteral("Delete List"), twips.size(1215, 375), frame);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(twips.x(105));
    buttons->addWidget(m_addList);
    buttons->addWidget(m_deleteList);
    buttons->addStretch();
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(twips.x(120), twips.y(120), twips.x(120), twips.y(120));
    frameLayout->setSpacing(twips.y(105));
    frameLayout->addWidget(m_listView);
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
    show();
    // Told over the window they concern, once it is there.
    if (!m_library.warning().isEmpty())
        m_services.notice.tell(m_library.warning());
    if (!saved)
        tellSaveFailure();
    tellUnreadable(unreadable);
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
    const QString f = m_services.fileDialog.getOpenFileName(this, qtFileFilter(addListFilter));
    if (!f.isEmpty()) {
        // Only the last three letters count, case-sensitively: "list.LXG" is
        // turned away, "wordslxg" is taken.
        if (!f.endsWith(QStringLiteral("lxg"))) {
            m_services.notice.tell(f + QStringLiteral(" is not a valid LXG file"));
        } else if (const std::optional<qsizetype> entry = m_library.add(f)) {
            const std::optional<QString> failure = additem(f, *entry);
            QTreeWidgetItem *row = m_listView->topLevelItem(m_listView->topLevelItemCount() - 1);
            m_listView->setCurrentItem(row);
            m_listView->scrollToItem(row);
            if (failure)
                tellUnreadable({*failure});
            saveLibrary();
        } else {
            m_services.notice.tell(
                QStringLiteral("The library already holds %1 word lists, as many as it can.").arg(ListLibrary::maxEntries));
        }
    }
    saveLibrary();
}

void frmMain::deleteList()
{
    const QList<QTreeWidgetItem *> selected = m_listView->selectedItems();
    if (selected.isEmpty())
        return;
    const std::optional<qsizetype> entry = ListLibrary::entryNumber(selected.first()->data(useColumn, keyRole).toString());
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
        result.append({row->checkState(useColumn) == Qt::Checked, row->data(useColumn, keyRole).toString()});
    }
    return result;
}

QStringList frmMain::rebuildRows()
{
    m_listView->clear();
    QStringList failures;
    for (qsizetype entry = 1; entry <= m_library.count(); ++entry) {
        if (std::optional<QString> failure = additem(m_library.path(entry), entry))
            failures.append(*failure);
    }
    return failures;
}

std::optional<QString> frmMain::additem(const QString &filename, qsizetype entry)
{
    const ListSummary summary = readListSummary(filename, m_services.notice);
    auto *row = new QTreeWidgetItem(m_listView);
    row->setData(useColumn, keyRole, ListLibrary::rowKey(entry));
    row->setText(nameColumn, summary.name);
    row->setText(descriptionColumn, summary.description);
    // A long name or description is cut short in its column; the whole text
    // and the file it came from show on hover.
    const QString file = QDir::toNativeSeparators(filename);
    row->setToolTip(nameColumn, summary.name.isEmpty() ? file : summary.name + u'\n' + file);
    row->setToolTip(descriptionColumn, summary.description);
    row->setCheckState(useColumn, Qt::Checked);
    if (summary.file.outcome != ListFileResult::Outcome::Failed || m_toldUnreadable.contains(filename))
        return std::nullopt;
    m_toldUnreadable.insert(filename);
    return summary.file.failure;
}

void frmMain::tellUnreadable(const QStringList &failures)
{
    if (failures.isEmpty())
        return;
    m_services.notice.tell(QStringLiteral("These word lists could not be read. Their rows stay, without name "
                                          "or description, and they add no words:\n\n")
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
    // Space ticks or unticks the current row, whichever of its columns has
    // the focus.
    const auto *key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent *>(event) : nullptr;
    if (watched == m_listView && key && key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
        if (QTreeWidgetItem *row = m_listView->currentItem())
            row->setCheckState(useColumn, row->checkState(useColumn) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    saveLibrary();
    event->accept();
}

void frmMain::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    // The decoration: a soft warm glow behind "Suggest Passwords".
    QPainter painter(this);
    const QPointF centre = m_suggest->geometry().center();
    // It fades out before the word lists' white panel begins.
    QRadialGradient glow(centre, qMin(width() * 0.45, m_wordLists->y() - centre.y()));
    glow.setColorAt(0.0, QColor(0xff, 0xc8, 0x7a, 110));
    glow.setColorAt(1.0, QColor(0xff, 0xc8, 0x7a, 0));
    painter.fillRect(rect(), glow);
}

} // namespace lexiglow
