#include "support/WindowTestEnvironment.h"

#include "library/frmMain.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTreeWidget>

using namespace lexiglow;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

class TestFrmMain final : public QObject
{
    Q_OBJECT

    std::optional<WindowTestEnvironment> m_env;
    std::optional<frmMain> m_window;

    void start(std::chrono::milliseconds splashDelay = 0ms)
    {
        m_window.emplace(m_env->services(splashDelay));
        m_window->load();
    }
    QTreeWidget *view() const { return m_window->findChild<QTreeWidget *>(u"ListView1"_s); }
    void click(const QString &button) { modal::click(&*m_window, button); }
    QString stored(const QString &key) const { return m_env->store.get(u"passfiles"_s, key); }

    // Each row as "file_1 [x] name / description"; "[ ]" when unticked.
    QStringList rows() const
    {
        QStringList result;
        for (int i = 0; i < view()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *row = view()->topLevelItem(i);
            result.append(u"%1 %2 %3 / %4"_s.arg(row->data(0, frmMain::keyRole).toString(),
                                                 row->checkState(0) == Qt::Checked ? u"[x]"_s : u"[ ]"_s, row->text(1), row->text(2)));
        }
        return result;
    }

    // The window in front, which takes the keys: the last modal one opened,
    // or the main window.
    QWidget *front()
    {
        QWidget *window = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : &*m_window;
        modal::activate(window);
        return window;
    }

    // A key as the user types it, to the control that has the focus in the
    // window in front.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *window = front();
        QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, key, modifiers);
    }

    // Alt+letter on a button: pressed a moment later, as it shows on screen.
    void pressButton(Qt::Key key)
    {
        const QList<QAbstractButton *> buttons = front()->findChildren<QAbstractButton *>();
        const auto target = std::ranges::find_if(buttons, [key](QAbstractButton *button) {
            return button->isVisible() && QKeySequence::mnemonic(button->text()) == QKeySequence(Qt::ALT | key);
        });
        QVERIFY(target != buttons.end());
        QSignalSpy pressed(*target, &QAbstractButton::clicked);
        press(key, Qt::AltModifier);
        QTRY_COMPARE(pressed.size(), 1);
    }

    // Each row's tick as a screen reader finds it.
    QStringList ticks() const
    {
        QStringList result;
        QAccessibleTableInterface *table = QAccessible::queryAccessibleInterface(view())->tableInterface();
        for (int row = 0; row < table->rowCount(); ++row) {
            QAccessibleInterface *tick = table->cellAt(row, 0);
            result << tick->text(QAccessible::Name) + (tick->state().checked ? u": ticked"_s : u": not ticked"_s);
        }
        return result;
    }

    void select(int row) const
    {
        view()->scrollToItem(view()->topLevelItem(row));
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, view()->visualItemRect(view()->topLevelItem(row)).center());
    }

private slots:
    void init()
    {
        m_window.reset();
        m_env.emplace();
    }

    // The splash comes before the main window and closes by itself; About shows it again until the user closes it.
    // A second start of the program brings the window in front forward: the splash, About over the main window,
    // the main window back from the task bar; the main window never shows before its splash has closed.
    void startUp_showsSplashThenTicksEveryListOfTheProgramFolder_aboutStaysOpen_secondStartBringsFrontWindowForward()
    {
        m_env->writeList(u"b.lxg"_s, u"Birds"_s, u"Feathers"_s, {u"owl"_s});
        m_env->writeList(u"a.lxg"_s, u"Animals"_s, u"Fur"_s, {u"cat"_s});
        QStringList seen; // each splash: timed or not, whether the main window shows yet, the version
        const auto look = [this, &seen](QWidget *splash) {
            m_window->comeToFront();
            QTRY_VERIFY(splash->isActiveWindow());
            const bool timed = splash->findChild<QTimer *>(u"Timer1"_s)->isActive();
            seen << u"%1 %2 %3"_s.arg(splash->objectName()).arg(timed).arg(m_window->isVisible())
                 << splash->findChild<QLabel *>(u"lblVersion"_s)->text();
        };
        QVERIFY(modal::drive([this] { start(1h); }, look));
        QVERIFY(m_window->isVisible());
        QCOMPARE(rows(), QStringList({u"file_1 [x] Animals / Fur"_s, u"file_2 [x] Birds / Feathers"_s}));
        QVERIFY(modal::drive([this] { click(u"Command7"_s); }, look));
        QCOMPARE(seen, QStringList({u"frmSplash 1 0"_s, u"Version 1.0.0"_s, u"frmSplash 0 1"_s, u"Version 1.0.0"_s}));
        m_window->showMinimized();
        QTRY_VERIFY(m_window->isMinimized());
        m_window->comeToFront();
        QTRY_VERIFY(!m_window->isMinimized() && m_window->isActiveWindow());
    }

    // Told in one message at start and in one at a batch, each list once a run; their rows say so.
    void unreadableLists_namedOnceARunInOneMessage_rowsMarked_deleteListRemovesThem()
    {
        const QString damaged = m_env->writeList(u"damaged.lxg"_s, u"Damaged"_s, u"Cut short"_s, {u"word"_s});
        QVERIFY(QFile::resize(damaged, 20));
        const QString good = m_env->writeList(u"good.lxg"_s, u"Good"_s, u"Fine"_s, {u"yes"_s});
        const auto gone = [this](int i) { return m_env->path(u"gone%1.lxg"_s.arg(i)); };
        m_env->store.values = {{{u"passfiles"_s, u"count"_s}, u"8"_s}};
        for (int i = 1; i <= 8; ++i)
            m_env->store.values[{u"passfiles"_s, u"passfile%1"_s.arg(i)}] = i == 1 ? damaged : i == 8 ? good : gone(i - 1);
        start();
        QCOMPARE(rows().mid(6), QStringList({u"file_7 [x] gone6.lxg / Could not be read: the file does not exist"_s,
                                             u"file_8 [x] Good / Fine"_s}));
        QCOMPARE(ticks().at(0), u"Use damaged.lxg, could not be read: ticked"_s);
        // The first five by name, then how many more.
        QCOMPARE(m_env->notice.messages.size(), 1);
        const QString message = m_env->notice.messages.constFirst();
        QVERIFY2(message.contains(damaged) && message.contains(gone(4)) && !message.contains(gone(5))
                     && message.endsWith(u"\nand 2 more"_s), qPrintable(message));
        // At a batch, the good list gone meanwhile is named, the others not again; at a second batch none.
        QFile::remove(good);
        const auto batch = [this] {
            QVERIFY(modal::drive([this] { click(u"sugPass"_s); }, [](QWidget *suggestions) { suggestions->close(); }));
        };
        batch(), batch();
        QCOMPARE(m_env->notice.messages.size(), 2);
        QVERIFY(m_env->notice.messages.at(1).endsWith(u":\n\n%1: the file does not exist"_s.arg(good)));
        QCOMPARE(rows().at(7), u"file_8 [x] good.lxg / Could not be read: the file does not exist"_s);
        // Back again, it is read at the next batch, and its row shows it.
        m_env->writeList(u"good.lxg"_s, u"Good"_s, u"Fine"_s, {u"yes"_s});
        batch();
        QCOMPARE(rows().at(7), u"file_8 [x] Good / Fine"_s);
        for (int i = 0; i < 8; ++i)
            select(0), click(u"Command5"_s);
        QCOMPARE(rows(), QStringList());
        QCOMPARE(m_env->notice.messages.size(), 2);
    }

    // A list is read before it is added, whatever its name's letter case; a file that cannot be read is not.
    void addList_readsTheFileFirst_addsOnlyLists_data()
    {
        QTest::addColumn<QString>("fileName"); // empty: the user cancels
        QTest::addColumn<QString>("kind");     // list, foreign, empty or missing
        QTest::addColumn<int>("clicks");
        QTest::addColumn<int>("added");
        QTest::addColumn<QString>("problem"); // told after the file's name
        QTest::addRow("a list file") << u"extra.lxg"_s << u"list"_s << 1 << 1 << QString();
        QTest::addRow("a list named in upper case") << u"PETS.LXG"_s << u"list"_s << 1 << 1 << QString();
        QTest::addRow("a name ending in lxg without a dot") << u"extralxg"_s << u"list"_s << 1 << 1 << QString();
        QTest::addRow("the same file twice") << u"extra.lxg"_s << u"list"_s << 2 << 2 << QString();
        QTest::addRow("a foreign file") << u"x.lxg"_s << u"foreign"_s << 1 << 0 << u"this is not a Lexiglow word list"_s;
        QTest::addRow("an empty file") << u"x.txt"_s << u"empty"_s << 1 << 0 << u"the file is empty"_s;
        QTest::addRow("a missing file") << u"x.lxg"_s << u"missing"_s << 1 << 0 << u"the file does not exist"_s;
        QTest::addRow("cancelled") << QString() << QString() << 1 << 0 << QString();
    }

    void addList_readsTheFileFirst_addsOnlyLists()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, kind);
        QFETCH(int, clicks);
        QFETCH(int, added);
        QFETCH(QString, problem);
        m_env->writeList(u"a.lxg"_s, u"Animals"_s, u"Fur"_s, {u"cat"_s});
        start();
        // Written after the start-up scan, which therefore does not see them.
        QVERIFY(QDir(m_env->folder.path()).mkpath(u"lists"_s));
        const QString large = m_env->writeList(u"lists/common.lxg"_s, u"Common"_s, QString(), {u"word"_s});
        const QString chosen = fileName.isEmpty() ? QString() : m_env->path(fileName);
        if (kind == u"list"_s)
            m_env->writeList(fileName, u"Extra"_s, u"Added"_s, {u"dog"_s});
        else if (kind == u"foreign"_s || kind == u"empty"_s)
            m_env->writeFile(fileName, kind == u"foreign"_s ? "hello" : "");
        const int flushes = m_env->store.flushes;
        m_env->answers = QStringList(clicks, chosen);
        for (int i = 0; i < clicks; ++i)
            click(u"Command6"_s);
        // Lists and text files in any letter case, and every file; first in the large list's folder.
        const QString filter = m_env->filters.value(0);
        QVERIFY2(filter.startsWith(u"Lexiglow Files (*.lxg *.lxG"_s) && filter.contains(u"*.LXG);;Text Files (*.txt"_s)
                     && filter.endsWith(u"*.TXT);;All Files (*)"_s), qPrintable(filter));
        QCOMPARE(m_env->startFolders.value(0), QFileInfo(large).path());
        QCOMPARE(rows(), QStringList({u"file_1 [x] Animals / Fur"_s, u"file_2 [x] Extra / Added"_s, u"file_3 [x] Extra / Added"_s})
                             .first(added + 1));
        // The last row added is the one selected.
        QCOMPARE(view()->selectedItems(), added ? QList({view()->topLevelItem(added)}) : QList<QTreeWidgetItem *>());
        QCOMPARE(stored(u"count"_s), QString::number(added + 1));
        QCOMPARE(m_env->notice.messages, problem.isEmpty() ? QStringList()
                 : QStringList(u"This file was not added to your word lists:\n\n%1: %2"_s.arg(chosen, problem)));
        // Stored again in every case, a cancel included.
        QVERIFY(m_env->store.flushes > flushes);
        // Once the library holds the large list, the dialog starts where it would by itself.
        m_env->answers = {large};
        click(u"Command6"_s);
        click(u"Command6"_s);
        QCOMPARE(m_env->startFolders.mid(clicks), QStringList({QFileInfo(large).path(), QString()}));
    }

    // A text file becomes a new list, ticked, in the folder of made lists, under a name no file there has.
    void addList_textFile_makesANewList_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("taken"); // whether words.lxg is there already
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("written"); // none: nothing is written
        QTest::addColumn<QString>("told");
        QTest::addRow("words") << QByteArray("tiger\nlion\n\ntiger\n") << false << u"cmdOk"_s << u"words.lxg"_s << QString();
        QTest::addRow("a name already taken") << QByteArray("tiger\nlion\n\ntiger\n") << true << u"cmdOk"_s << u"words-2.lxg"_s << QString();
        QTest::addRow("cancelled") << QByteArray("tiger\nlion\n\ntiger\n") << false << u"cmdCancel"_s << QString() << QString();
        QTest::addRow("a binary file") << QByteArray("tiger\n\x01\0\x02", 9) << false << QString() << QString()
                                       << u"line 2: it holds a NUL byte, so this is not a text file"_s;
        QTest::addRow("no word") << QByteArray("\n \n") << false << QString() << QString() << u"it holds no word"_s;
    }

    void addList_textFile_makesANewList()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, taken);
        QFETCH(QString, button);
        QFETCH(QString, written);
        QFETCH(QString, told);
        start();
        const QString words = m_env->writeFile(u"words.txt"_s, text);
        if (taken && QDir().mkpath(m_env->path(u"data/lists"_s)))
            m_env->writeFile(u"data/lists/words.lxg"_s, "kept");
        m_env->answers = {words};
        QStringList seen;
        modal::drive([this] { click(u"Command6"_s); }, [&](QWidget *dialog) {
            // A file it refuses may close it as soon as it shows.
            if (!button.isEmpty()) {
                QTRY_VERIFY(dialog->findChild<QPushButton *>(u"cmdOk"_s)->isEnabled());
                seen << dialog->windowTitle() << dialog->findChild<QLineEdit *>(u"txtName"_s)->text()
                     << dialog->findChild<QLabel *>(u"lblWords"_s)->text()
                     << dialog->findChild<QPlainTextEdit *>(u"txtWarnings"_s)->toPlainText();
                QTest::keyClicks(dialog->findChild<QLineEdit *>(u"txtDescription"_s), u"Cats"_s);
                modal::click(dialog, button);
            }
            QTRY_VERIFY(!dialog->isVisible());
        });
        if (!button.isEmpty())
            QCOMPARE(seen, QStringList({u"New Word List"_s, u"words"_s, u"3 words"_s,
                                        u"line 4: 'tiger' repeats line 1, so it is drawn twice as often"_s}));
        QStringList made = QDir(m_env->path(u"data/lists"_s)).entryList(QDir::Files);
        made.removeOne(written);
        QCOMPARE(made, taken ? QStringList(u"words.lxg"_s) : QStringList());
        QVERIFY(!taken || listbytes::read(m_env->path(u"data/lists/words.lxg"_s)) == "kept");
        QCOMPARE(rows(), written.isEmpty() ? QStringList() : QStringList(u"file_1 [x] words / Cats"_s));
        if (!written.isEmpty()) {
            RecordingNotice quiet;
            wordList list(quiet);
            QVERIFY(list.ReadData(m_env->path(u"data/lists/"_s + written)));
            QCOMPARE(list.getlist().words(), QStringList({u"tiger"_s, u"lion"_s, u"tiger"_s}));
            QCOMPARE(stored(u"passfile1"_s), m_env->path(u"data/lists/"_s + written));
        }
        QCOMPARE(m_env->notice.messages,
                 told.isEmpty() ? QStringList() : QStringList(u"No word list was made of this file:\n\n%1: %2"_s.arg(words, told)));
    }

    // Files dropped on the window are added one after another, as Add List adds them.
    void drop_addsListsAndTextFilesInTurn()
    {
        start();
        const QString list = m_env->writeList(u"a.lxg"_s, u"Animals"_s, u"Fur"_s, {u"cat"_s});
        const QString text = m_env->writeFile(u"fruit.txt"_s, "apple\npear\n");
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(text), QUrl::fromLocalFile(list)});
        // As the platform's drag and drop hands them over; no test can drag.
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        static_cast<QObject *>(&*m_window)->event(&enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QVERIFY(modal::drive([&] { static_cast<QObject *>(&*m_window)->event(&drop); QTRY_COMPARE(rows().size(), 2); },
                             [](QWidget *dialog) {
                                 QTRY_VERIFY(dialog->findChild<QPushButton *>(u"cmdOk"_s)->isEnabled());
                                 modal::click(dialog, u"cmdOk"_s);
                                 QTRY_VERIFY(!dialog->isVisible());
                             }));
        QCOMPARE(rows(), QStringList({u"file_1 [x] fruit / "_s, u"file_2 [x] Animals / Fur"_s}));
    }

    void deleteList_data()
    {
        QTest::addColumn<int>("lists");
        QTest::addColumn<int>("unticked"); // -1: none
        QTest::addColumn<int>("selected"); // -1: none
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QStringList>("remaining");
        QTest::addRow("the first of three, the second unticked")
            << 3 << 1 << 0 << true << QStringList({u"file_1 [x] List 2 / Words 2"_s, u"file_2 [x] List 3 / Words 3"_s});
        QTest::addRow("nothing selected") << 1 << -1 << -1 << true << QStringList({u"file_1 [x] List 1 / Words 1"_s});
        QTest::addRow("the only row") << 1 << -1 << 0 << true << QStringList();
        QTest::addRow("an unwritable store: told once") << 2 << -1 << 0 << false << QStringList({u"file_1 [x] List 2 / Words 2"_s});
    }

    void deleteList()
    {
        QFETCH(int, lists);
        QFETCH(int, unticked);
        QFETCH(int, selected);
        QFETCH(bool, writable);
        QFETCH(QStringList, remaining);
        for (int i = 1; i <= lists; ++i)
            m_env->writeList(u"list%1.lxg"_s.arg(i), u"List %1"_s.arg(i), u"Words %1"_s.arg(i), {u"word"_s});
        m_env->store.writable = writable;
        start();
        if (unticked >= 0) // Space unticks the current row
            select(unticked), QTest::keyClick(view(), Qt::Key_Space);
        view()->clearSelection();
        if (selected >= 0)
            select(selected);
        click(u"Command5"_s);
        QCOMPARE(rows(), remaining);
        QCOMPARE(m_env->notice.messages.filter(u"could not be saved"_s).size(), writable ? 0 : 1);
        // The close box stores the library once more.
        m_env->store.values.clear();
        QVERIFY(m_window->close());
        QCOMPARE(stored(u"count"_s), QString::number(remaining.size()));
    }

    // The whole road by keyboard alone: Alt+letter, Tab, arrows, Space,
    // Enter on the focused button or, in a field, on the default one, Esc.
    void keyboardAlone_ticksSuggestsCopiesChangesASettingAndCloses()
    {
        m_env->writeList(u"a.lxg"_s, u"Animals"_s, QString(), {u"tiger"_s, u"lion"_s});
        m_env->writeList(u"b.lxg"_s, u"Fruit"_s, QString(), {u"apple"_s, u"moon"_s});
        m_env->randomValues = twoPasswordDraws;
        m_env->store.values[{u"Values"_s, u"Text3"_s}] = u"3"_s;
        start();
        press(Qt::Key_W, Qt::AltModifier);
        QCOMPARE(m_window->focusWidget(), view());
        press(Qt::Key_Down), press(Qt::Key_Down), press(Qt::Key_Space);
        // A screen reader hears each tick by its list's name, ticked or not.
        QCOMPARE(ticks(), QStringList({u"Use Animals: ticked"_s, u"Use Fruit: not ticked"_s}));
        QStringList seen;
        QVERIFY(modal::drive([this] { press(Qt::Key_Return); }, [this, &seen](QWidget *suggestions) {
            const auto *text = suggestions->findChild<QPlainTextEdit *>(u"Text1"_s);
            const auto *status = suggestions->findChild<QLabel *>(u"lblStatus"_s);
            QVERIFY(settle(suggestions));
            press(Qt::Key_Down), press(Qt::Key_Down), press(Qt::Key_C, Qt::ControlModifier);
            seen << QGuiApplication::clipboard()->text() << status->text().section(u'.', 0, 0);
            press(Qt::Key_Tab), press(Qt::Key_Tab), press(Qt::Key_Return); // on New List
            QVERIFY(settle(suggestions));
            seen << text->toPlainText().section(u'\n', 2, 2) << status->text();
            QVERIFY(modal::drive([this] { pressButton(Qt::Key_M); }, [this](QWidget *) {
                press(Qt::Key_P, Qt::AltModifier); // to Passwords to Generate
                press(Qt::Key_A, Qt::ControlModifier), press(Qt::Key_2), press(Qt::Key_Return);
            }));
            QVERIFY(settle(suggestions));
            seen << QString::number(text->blockCount() - 2);
            press(Qt::Key_Escape);
            seen << (suggestions->isVisible() ? u"open"_s : u"closed"_s);
        }));
        QCOMPARE(seen, QStringList({u"tigerlion1"_s, u"Password copied"_s, u"50liontiger"_s, QString(), u"2"_s, u"closed"_s}));
        QCOMPARE(m_env->store.get(u"Values"_s, u"Text3"_s), u"2"_s);
        // Enter in the passwords closes the window, like Esc.
        QVERIFY(modal::drive([this] { pressButton(Qt::Key_S); }, [this](QWidget *suggestions) {
            press(Qt::Key_Return);
            QVERIFY(!suggestions->isVisible());
        }));
        QVERIFY(modal::drive([this] { pressButton(Qt::Key_B); }, [this](QWidget *about) {
            QCOMPARE(about->objectName(), u"frmSplash"_s);
            press(Qt::Key_Escape);
            QVERIFY(!about->isVisible());
        }));
        pressButton(Qt::Key_C); // Close
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
