#pragma once

#include "library/ListLibrary.h"
#include "platform/SecretClipboard.h"
#include "platform/WindowServices.h"
#include "settings/SettingsWindow.h"

#include <QPointer>
#include <QSet>
#include <QWidget>

class QPushButton;

namespace lexiglow {

struct ListRow;
struct UnreadList;
class WordListView;
class passSug;

// The main window: the library of word lists as ticked rows, the commands
// that change it, and the way to the other windows. It starts with the
// splash, and writes the library to the settings store after every change.
// A list file is read before it is added; a text file, chosen or dropped on
// the window, becomes a new word list first. Lists of the library that
// cannot be read are named once a run, and their rows say so.
class frmMain final : public QWidget
{
    Q_OBJECT

public:
    // The role under which a row keeps its key, "file_" + entry number.
    static constexpr int keyRole = Qt::UserRole; // WordListView::keyRole

    explicit frmMain(const WindowServices &services, QWidget *parent = nullptr);
    ~frmMain() override;
    Q_DISABLE_COPY_MOVE(frmMain)

    // The start-up: the splash, the library from the store or the program's
    // folder, one ticked row per list; then the window appears.
    void load();
    // Shows the window restored, raised and active, with the window it waits
    // for (the splash, a dialog) over it; before load() has shown the window,
    // only that one.
    void comeToFront();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void buildControls();
    QWidget *buildWordLists();
    void setTabOrderOfControls();

    void suggestPasswords();
    void addList();
    // Where Add List's file dialog starts; none for the platform's choice.
    QString addListFolder() const;
    // Adds a chosen or dropped file: a word list as it is, a text file as a
    // new word list; tells why when it cannot.
    void addFile(const QString &path);
    void addEntry(const QString &path);
    void deleteList();
    void showAbout();

    passSug &suggestions();
    QList<ListRow> rows() const;
    // Makes the rows anew and returns the lists not yet told unreadable.
    QStringList rebuildRows();
    // Marks the rows of the lists a batch could not read, and unmarks those
    // it read again; returns the lists not yet told unreadable.
    QStringList showUnread(const QList<UnreadList> &unread);
    // Whether path is not yet told unreadable this run; from now on it is.
    bool newlyUnreadable(const QString &path);
    void tellUnreadable(const QStringList &failures);
    void saveLibrary();
    void tellSaveFailure();

    WindowServices m_services;
    ListLibrary m_library;
    SettingsWindow m_settings;
    SecretClipboard m_clipboard;
    QPointer<passSug> m_suggestions;
    bool m_toldSaveFailure = false;
    // The lists told unreadable in this run, which are not named again.
    QSet<QString> m_toldUnreadable;

    QWidget *m_wordLists = nullptr;
    WordListView *m_listView = nullptr;
    QPushButton *m_suggest = nullptr;
    QPushButton *m_advancedSettings = nullptr;
    QPushButton *m_addList = nullptr;
    QPushButton *m_deleteList = nullptr;
    QPushButton *m_about = nullptr;
    QPushButton *m_close = nullptr;
};

} // namespace lexiglow
