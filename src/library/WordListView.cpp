#include "library/WordListView.h"

#include "library/ListLibrary.h"
#include "platform/Twips.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

namespace lexiglow {

namespace {

// Whether a row's list could not be read.
constexpr int unreadableRole = Qt::UserRole + 1;

// The columns' widths as designed, in twips; wider where their text needs it.
constexpr int columnTwips[] = {500, 1440, 3311};

// Why a list could not be read, without the file's name that the line
// starts with.
QString reason(const QString &filename, const QString &failure)
{
    const QString prefix = QDir::toNativeSeparators(filename) + QStringLiteral(": ");
    return failure.startsWith(prefix) ? failure.mid(prefix.size()) : failure;
}

} // namespace

WordListView::WordListView(QWidget *parent)
    : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("ListView1"));
    setAccessibleName(QStringLiteral("Word Lists"));
    setAccessibleDescription(
        QStringLiteral("Tick the lists to draw words from. Space ticks or unticks, Enter suggests passwords."));
    setHeaderLabels({QStringLiteral("Use"), QStringLiteral("List Name"), QStringLiteral("Description")});
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    header()->setStretchLastSection(true);
    fitColumns();
}

QTreeWidgetItem *WordListView::addRow(qsizetype entry, const QString &filename, const ListSummary &summary)
{
    auto *row = new QTreeWidgetItem(this);
    row->setData(useColumn, keyRole, ListLibrary::rowKey(entry));
    row->setCheckState(useColumn, Qt::Checked);
    fillRow(row, filename, summary);
    return row;
}

void WordListView::fillRow(QTreeWidgetItem *row, const QString &filename, const ListSummary &summary)
{
    const bool read = summary.file.read();
    const QString file = QDir::toNativeSeparators(filename);
    const QString listName = read && !summary.name.isEmpty() ? summary.name : QFileInfo(filename).fileName();
    const QString why = read ? QString() : reason(filename, summary.file.failure);
    const QString description = read ? summary.description : QStringLiteral("Could not be read: ") + why;
    row->setData(useColumn, unreadableRole, !read);
    row->setText(nameColumn, read ? summary.name : listName);
    row->setText(descriptionColumn, description);
    row->setIcon(nameColumn, read ? QIcon() : style()->standardIcon(QStyle::SP_MessageBoxWarning));
    QFont italic = font();
    italic.setItalic(true);
    for (const int column : {nameColumn, descriptionColumn})
        row->setData(column, Qt::FontRole, read ? QVariant() : QVariant(italic));
    // A long name or description is cut short in its column; the whole text
    // and the file it came from show on hover.
    row->setToolTip(nameColumn, read && !summary.name.isEmpty() ? summary.name + u'\n' + file : file);
    row->setToolTip(descriptionColumn, description);
    // A screen reader names the tick after its list; it tells whether it is
    // ticked by itself.
    const QString shownName = read ? listName : QStringLiteral("%1, could not be read").arg(listName);
    row->setData(useColumn, Qt::AccessibleTextRole, QStringLiteral("Use %1").arg(shownName));
    row->setData(useColumn, Qt::AccessibleDescriptionRole, description);
    row->setData(nameColumn, Qt::AccessibleTextRole, summary.name.isEmpty() || !read ? shownName : QVariant());
}

QTreeWidgetItem *WordListView::rowOf(qsizetype entry) const
{
    const QString key = ListLibrary::rowKey(entry);
    // Rows stand in entry order, each where its number says.
    if (entry >= 1 && entry <= topLevelItemCount() && topLevelItem(int(entry - 1))->data(useColumn, keyRole) == key)
        return topLevelItem(int(entry - 1));
    for (int i = 0; i < topLevelItemCount(); ++i) {
        if (topLevelItem(i)->data(useColumn, keyRole).toString() == key)
            return topLevelItem(i);
    }
    return nullptr;
}

bool WordListView::isUnreadable(const QTreeWidgetItem *row)
{
    return row->data(useColumn, unreadableRole).toBool();
}

void WordListView::fitColumns()
{
    const Twips twips(this);
    for (int column = useColumn; column <= descriptionColumn; ++column) {
        header()->resizeSection(column, std::max({twips.x(columnTwips[column]), sizeHintForColumn(column),
                                                  header()->sectionSizeHint(column)}));
    }
}

QSize WordListView::sizeHint() const
{
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (int column = useColumn; column <= descriptionColumn; ++column)
        width += header()->sectionSize(column);
    // Room for three rows when there are fewer.
    const int rowHeight = topLevelItemCount() > 0 ? sizeHintForRow(0) : fontMetrics().height() + 4;
    const int height = 2 * frameWidth() + header()->sizeHint().height() + rowHeight * std::max(topLevelItemCount(), 3);
    const Twips twips(this);
    return QSize(width, height).expandedTo(twips.size(5535, 1815));
}

} // namespace lexiglow
