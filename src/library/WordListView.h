#pragma once

#include <QTreeWidget>

namespace lexiglow {

struct ListSummary;

// The main window's word lists: one row per library entry, with a tick, the
// list's name and its description. The row of a list that could not be read
// says so, by a warning sign, its file's name and why, in italics, and to
// screen readers, so that the user can find it and delete it.
class WordListView final : public QTreeWidget
{
public:
    enum Column { useColumn, nameColumn, descriptionColumn };
    // The role under which a row keeps its key, "file_" + entry number.
    static constexpr int keyRole = Qt::UserRole;

    explicit WordListView(QWidget *parent);
    Q_DISABLE_COPY_MOVE(WordListView)

    // Appends the row of entry, ticked, with what summary says of its file.
    QTreeWidgetItem *addRow(qsizetype entry, const QString &filename, const ListSummary &summary);
    // Fills row with what summary says of its file, keeping its tick.
    void fillRow(QTreeWidgetItem *row, const QString &filename, const ListSummary &summary);
    QTreeWidgetItem *rowOf(qsizetype entry) const;
    static bool isUnreadable(const QTreeWidgetItem *row);

    // Each column as wide as its heading, its widest text and its designed
    // width need.
    void fitColumns();
    QSize sizeHint() const override;
};

} // namespace lexiglow
