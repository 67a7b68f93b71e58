#include "support/ListFileBytes.h"
#include "support/ModalDriver.h"
#include "support/WindowTestEnvironment.h"

#include "library/frmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <memory>

using namespace lexiglow;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

struct Row
{
    QString key;
    bool checked;
    QString name;
    QString description;

    friend bool operator==(const Row &, const Row &) = default;
};

} // namespace

namespace QTest {
template<>
char *toString(const Row &row)
{
    return qstrdup(u"%1 %2 \"%3\" \"%4\""_s.arg(row.key, row.checked ? u"ticked"_s : u"unticked"_s, row.name,
                                               row.description)
                       .toUtf8()
                       .constData());
}
} // namespace QTest

class TestFrmMain final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startUp_emptyStore_scansProgramFolder();
    void startUp_storedLibrary_folderNotScanned();
    void startUp_unreadableLists_keepRowsAndTellOnce();
    void startUp_foreignFile_invalidFileAndEmptyRow();
    void startUp_splashFirst_closedByTimer();
    void startUp_splashClosedByKey();
    void window_titleColumnsAndFixedSize();
    void addList_data();
    void addList();
    void addList_twice_twoRows();
    void deleteList_threeRowsOneUnticked();
    void deleteList_nothingSelected_doesNothing();
    void deleteList_onlyRow_storesZero();
    void suggestPasswords_wordsOnlyFromTickedLists();
    void suggestPasswords_nothingTicked_numbersOnly();
    void settingsOk_freshStart_restoresAllSettings();
    void settingsCloseBox_losesEdits();
    void about_staysPastTheSplashDelay();
    void closeBox_savesLibrary_closeButtonDoesNot();
    void saveFails_toldOnce_keepsWorking();

private:
    frmMain &start(std::chrono::milliseconds splashDelay = 0ms);
    QTreeWidget *listView() const { return m_window->findChild<QTreeWidget *>(u"ListView1"_s); }
    QPushButton *button(const QString &name) const { return m_window->findChild<QPushButton *>(name); }
    QList<Row> rows() const;
    void select(int row) const;
    void clickTickBox(int row) const;
    QString stored(const QString &key) const { return m_env->store.get(u"passfiles"_s, key); }
    // The suggestions text of one "Suggest Passwords".
    QString suggest();

    std::unique_ptr<WindowTestEnvironment> m_env;
    std::unique_ptr<frmMain> m_window;
};

void TestFrmMain::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestFrmMain::init()
{
    m_env = std::make_unique<WindowTestEnvironment>();
    QVERIFY(m_env->folder.isValid());
}

void TestFrmMain::cleanup()
{
    m_window.reset();
    m_env.reset();
}

frmMain &TestFrmMain::start(std::chrono::milliseconds splashDelay)
{
    m_window.reset();
    m_window = std::make_unique<frmMain>(m_env->services(splashDelay));
    m_window->load();
    return *m_window;
}

QList<Row> TestFrmMain::rows() const
{
    QList<Row> result;
    for (int i = 0; i < listView()->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = listView()->topLevelItem(i);
        result.append({item->data(0, frmMain::keyRole).toString(), item->checkState(0) == Qt::Checked,
                       item->text(1), item->text(2)});
    }
    return result;
}

void TestFrmMain::select(int row) const
{
    const QRect rect = listView()->visualItemRect(listView()->topLevelItem(row));
    QTest::mouseClick(listView()->viewport(), Qt::LeftButton, {}, rect.center());
}

void TestFrmMain::clickTickBox(int row) const
{
    QTreeWidget *view = listView();
    const QModelIndex index = view->model()->index(row, 0);
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.rect = view->visualRect(index);
    option.features = QStyleOptionViewItem::HasCheckIndicator;
    const QRect box = view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, box.center());
}

QString TestFrmMain::suggest()
{
    QString text;
    const auto ran = modal::onNext([&text](QWidget *window) {
        QCOMPARE(window->objectName(), u"passSug"_s);
        text = window->findChild<QPlainTextEdit *>(u"Text1"_s)->toPlainText();
        QTest::mouseClick(window->findChild<QPushButton *>(u"Command1"_s), Qt::LeftButton);
    });
    QTest::mouseClick(button(u"sugPass"_s), Qt::LeftButton);
    if (!*ran)
        qWarning("the suggestions window did not open");
    return text;
}

void TestFrmMain::startUp_emptyStore_scansProgramFolder()
{
    const QString b = m_env->writeList(u"b.lxg"_s, u"Birds"_s, u"Feathers"_s, {u"owl"_s});
    const QString a = m_env->writeList(u"a.lxg"_s, u"Animals"_s, u"Fur"_s, {u"cat"_s});
    const QString c = m_env->writeList(u"c.lxg"_s, u"Colours"_s, u"Paint"_s, {u"red"_s});
    m_env->writeList(u"notes.txt"_s, u"Not a list"_s, QString(), {u"x"_s});
    start();
    QVERIFY(m_window->isVisible());
    QCOMPARE(rows(), QList<Row>({{u"file_1"_s, true, u"Animals"_s, u"Fur"_s},
                                 {u"file_2"_s, true, u"Birds"_s, u"Feathers"_s},
                                 {u"file_3"_s, true, u"Colours"_s, u"Paint"_s}}));
    QCOMPARE(stored(u"count"_s), u"3"_s);
    QCOMPARE(stored(u"passfile1"_s), a);
    QCOMPARE(stored(u"passfile2"_s), b);
    QCOMPARE(stored(u"passfile3"_s), c);
    QVERIFY(m_env->notice.messages.isEmpty());
}

void TestFrmMain::startUp_storedLibrary_folderNotScanned()
{
    m_env->writeList(u"a.lxg"_s, u"Animals"_s, QString(), {u"cat"_s});
    const QString elsewhere = m_env->writeList(u"sub.lxg"_s, u"Stored"_s, u"Kept"_s, {u"dog"_s});
    m_env->store.values = {{{u"passfiles"_s, u"count"_s}, u"1"_s}, {{u"passfiles"_s, u"passfile1"_s}, elsewhere}};
    start();
    QCOMPARE(rows(), QList<Row>({{u"file_1"_s, true, u"Stored"_s, u"Kept"_s}}));
    QCOMPARE(stored(u"count"_s), u"1"_s);
}

void TestFrmMain::startUp_unreadableLists_keepRowsAndTellOnce()
{
    const QString missing = m_env->path(u"gone.lxg"_s);
    const QString damaged = m_env->path(u"damaged.lxg"_s);
    listbytes::write(damaged, listbytes::colorsFile.left(40));
    const QString good = m_env->writeList(u"good.lxg"_s, u"Good"_s, u"Fine"_s, {u"yes"_s});
    m_env->store.values = {{{u"passfiles"_s, u"count"_s}, u"3"_s},
                           {{u"passfiles"_s, u"passfile1"_s}, missing},
                           {{u"passfiles"_s, u"passfile2"_s}, damaged},
                           {{u"passfiles"_s, u"passfile3"_s}, good}};
    start();
    QVERIFY(m_window->isVisible());
    QCOMPARE(rows(), QList<Row>({{u"file_1"_s, true, QString(), QString()},
                                 {u"file_2"_s, true, QString(), QString()},
                                 {u"file_3"_s, true, u"Good"_s, u"Fine"_s}}));
    QCOMPARE(m_env->notice.messages.size(), 1);
    QVERIFY2(m_env->notice.messages.first().contains(missing), qPrintable(m_env->notice.messages.first()));
    QVERIFY(m_env->notice.messages.first().contains(damaged));
    QVERIFY(!m_env->notice.messages.first().contains(good));
    // The entries stay in the library.
    QCOMPARE(stored(u"count"_s), u"3"_s);
    QCOMPARE(stored(u"passfile1"_s), missing);
}

void TestFrmMain::startUp_foreignFile_invalidFileAndEmptyRow()
{
    listbytes::write(m_env->path(u"foreign.lxg"_s), "just some text");
    start();
    QCOMPARE(rows(), QList<Row>({{u"file_1"_s, true, QString(), QString()}}));
    QCOMPARE(m_env->notice.messages, QStringList({u"Invalid File"_s}));
}

void TestFrmMain::startUp_splashFirst_closedByTimer()
{
    m_env->writeList(u"a.lxg"_s, u"Animals"_s, QString(), {u"cat"_s});
    bool mainHiddenMeanwhile = false;
    bool timerRunning = false;
    const auto ran = modal::onNext([&](QWidget *splash) {
        QCOMPARE(splash->objectName(), u"frmSplash"_s);
        timerRunning = splash->findChild<QTimer *>(u"Timer1"_s)->isActive();
        mainHiddenMeanwhile = !m_window->isVisible() && listView()->topLevelItemCount() == 0;
        // Nothing is pressed: the timer alone closes it.
        QTRY_VERIFY(!splash->isVisible());
    });
    start(30ms);
    QVERIFY(*ran);
    QVERIFY(timerRunning);
    QVERIFY(mainHiddenMeanwhile);
    QVERIFY(m_window->isVisible());
    QCOMPARE(rows().size(), 1);
}

void TestFrmMain::startUp_splashClosedByKey()
{
    bool closed = false;
    modal::onNext([&closed](QWidget *splash) {
        QTest::keyClick(splash->findChild<QWidget *>(u"Picture1"_s), Qt::Key_Escape);
        closed = !splash->isVisible();
    });
    start(1h);
    QVERIFY(closed);
    QVERIFY(m_window->isVisible());
}

void TestFrmMain::window_titleColumnsAndFixedSize()
{
    start();
    QCOMPARE(m_window->windowTitle(), u"Lexiglow Passwords"_s);
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
    QVERIFY(!(m_window->windowFlags() & Qt::WindowMinMaxButtonsHint));
    const QTreeWidgetItem *header = listView()->headerItem();
    QCOMPARE(header->text(0), u"Use"_s);
    QCOMPARE(header->text(1), u"List Name"_s);
    QCOMPARE(header->text(2), u"Description"_s);
    QCOMPARE(button(u"sugPass"_s)->text(), u"Suggest Passwords"_s);
    QCOMPARE(button(u"Command1"_s)->text(), u"Advanced Settings"_s);
    QCOMPARE(button(u"Command6"_s)->text(), u"Add List"_s);
    QCOMPARE(button(u"Command5"_s)->text(), u"Delete List"_s);
    QCOMPARE(button(u"Command7"_s)->text(), u"About"_s);
    QCOMPARE(button(u"Command2"_s)->text(), u"Close"_s);
}

void TestFrmMain::addList_data()
{
    QTest::addColumn<QString>("fileName"); // empty: the user cancels
    QTest::addColumn<bool>("added");
    QTest::addColumn<bool>("told");
    QTest::addRow("list file") << u"extra.lxg"_s << true << false;
    QTest::addRow("ends in lxg without a dot") << u"extralxg"_s << true << false;
    QTest::addRow("upper-case LXG") << u"extra.LXG"_s << false << true;
    QTest::addRow("other extension") << u"extra.txt"_s << false << true;
    QTest::addRow("cancelled") << QString() << false << false;
}

void TestFrmMain::addList()
{
    QFETCH(QString, fileName);
    QFETCH(bool, added);
    QFETCH(bool, told);
    m_env->writeList(u"a.lxg"_s, u"Animals"_s, QString(), {u"cat"_s});
    start();
    // Written outside the program folder, so that the start-up scan does not see it.
    QTemporaryDir elsewhere;
    const QString chosen = fileName.isEmpty() ? QString() : QDir::toNativeSeparators(elsewhere.filePath(fileName));
    if (!chosen.isEmpty()) {
        RecordingNotice quiet;
        wordList list(quiet);
        list.setname(u"Extra"_s);
        list.setdesc(u"Added"_s);
        list.addword(u"dog"_s);
        list.SaveData(chosen);
    }
    m_env->fileDialog.setNextFileName(chosen);
    const int flushesBefore = m_env->store.flushes;

    QTest::mouseClick(button(u"Command6"_s), Qt::LeftButton);

    QCOMPARE(m_env->fileDialog.filters, QStringList({u"Lexiglow Files (*.lxg)"_s}));
    QList<Row> expected{{u"file_1"_s, true, u"Animals"_s, QString()}};
    if (added)
        expected.append({u"file_2"_s, true, u"Extra"_s, u"Added"_s});
    QCOMPARE(rows(), expected);
    QCOMPARE(stored(u"count"_s), QString::number(expected.size()));
    if (added)
        QCOMPARE(stored(u"passfile2"_s), chosen);
    else
        QVERIFY(!m_env->store.contains(u"passfiles"_s, u"passfile2"_s));
    const QStringList messages = told ? QStringList{chosen + u" is not a valid LXG file"_s} : QStringList{};
    QCOMPARE(m_env->notice.messages, messages);
    // The library is stored in every case, a cancel included.
    QVERIFY(m_env->store.flushes > flushesBefore);
}

void TestFrmMain::addList_twice_twoRows()
{
    start();
    const QString list = m_env->writeList(u"one.lxg"_s, u"One"_s, u"Only"_s, {u"cat"_s});
    m_env->fileDialog.setNextFileName(list);
    m_env->fileDialog.setNextFileName(list);
    QTest::mouseClick(button(u"Command6"_s), Qt::LeftButton);
    QTest::mouseClick(button(u"Command6"_s), Qt::LeftButton);
    QCOMPARE(rows(), QList<Row>({{u"file_1"_s, true, u"One"_s, u"Only"_s}, {u"file_2"_s, true, u"One"_s, u"Only"_s}}));
    QCOMPARE(stored(u"count"_s), u"2"_s);
    QCOMPARE(stored(u"passfile1"_s), list);
    QCOMPARE(stored(u"passfile2"_s), list);
}

void TestFrmMain::deleteList_threeRowsOneUnticked()
{
    m_env->writeList(u"a.lxg"_s, u"A"_s, QString(), {u"cat"_s});
    const QString b = m_env->writeList(u"b.lxg"_s, u"B"_s, QString(), {u"dog"_s});
    const QString c = m_env->writeList(u"c.lxg"_s, u"C"_s, QString(), {u"eel"_s});
    start();
    clickTickBox(1);
    QCOMPARE(rows().at(1).checked, false);
    select(0);
    QTest::mouseClick(button(u"Command5"_s), Qt::LeftButton);
    QCOMPARE(rows(), QList<Row>({{u"file_1"_s, true, u"B"_s, QString()}, {u"file_2"_s, true, u"C"_s, QString()}}));
    QCOMPARE(stored(u"count"_s), u"2"_s);
    QCOMPARE(stored(u"passfile1"_s), b);
    QCOMPARE(stored(u"passfile2"_s), c);
    // Left over from the longer library, and never read.
    QCOMPARE(stored(u"passfile3"_s), c);
    QVERIFY(QFile::exists(m_env->path(u"a.lxg"_s)));
}

void TestFrmMain::deleteList_nothingSelected_doesNothing()
{
    m_env->writeList(u"a.lxg"_s, u"A"_s, QString(), {u"cat"_s});
    start();
    listView()->clearSelection();
    QTest::mouseClick(button(u"Command5"_s), Qt::LeftButton);
    QCOMPARE(rows().size(), 1);
    QCOMPARE(stored(u"count"_s), u"1"_s);
}

void TestFrmMain::deleteList_onlyRow_storesZero()
{
    m_env->writeList(u"a.lxg"_s, u"A"_s, QString(), {u"cat"_s});
    start();
    select(0);
    QTest::mouseClick(button(u"Command5"_s), Qt::LeftButton);
    QVERIFY(rows().isEmpty());
    QCOMPARE(stored(u"count"_s), u"0"_s);
    // The next start scans the folder again.
    start();
    QCOMPARE(rows().size(), 1);
}

void TestFrmMain::suggestPasswords_wordsOnlyFromTickedLists()
{
    m_env->writeList(u"a.lxg"_s, u"Animals"_s, QString(), {u"tiger"_s, u"lion"_s});
    m_env->writeList(u"b.lxg"_s, u"Fruit"_s, QString(), {u"apple"_s, u"pear"_s});
    QList<double> spread;
    for (int i = 0; i < 97; ++i)
        spread.append((i * 37 % 97) / 97.0);
    m_env->random.setValues(spread);
    start();
    clickTickBox(1);

    const QStringList lines = suggest().split(u'\n');
    QCOMPARE(lines.size(), 12);
    QCOMPARE(lines.at(0), u"Generating Your Suggestions..."_s);
    QCOMPARE(lines.at(1), QString());
    const QRegularExpression animalsOnly(u"^(tiger|lion){0,2}$"_s);
    QSet<QString> wordsSeen;
    for (const QString &password : lines.mid(2)) {
        QString words = password;
        words.remove(QRegularExpression(u"[0-9]"_s));
        QVERIFY2(animalsOnly.match(words).hasMatch(), qPrintable(password));
        if (password.contains(u"tiger"_s))
            wordsSeen.insert(u"tiger"_s);
        if (password.contains(u"lion"_s))
            wordsSeen.insert(u"lion"_s);
    }
    QCOMPARE(wordsSeen.size(), 2);
    QCOMPARE(m_env->random.reseeds, 1);
}

void TestFrmMain::suggestPasswords_nothingTicked_numbersOnly()
{
    m_env->writeList(u"a.lxg"_s, u"Animals"_s, QString(), {u"tiger"_s});
    m_env->random.setValues({0.1, 0.7, 0.3, 0.9, 0.5});
    start();
    clickTickBox(0);
    const QStringList passwords = suggest().split(u'\n').mid(2);
    QCOMPARE(passwords.size(), 10);
    for (const QString &password : passwords)
        QVERIFY2(QRegularExpression(u"^[1-9][0-9]?$"_s).match(password).hasMatch(), qPrintable(password));
}

void TestFrmMain::settingsOk_freshStart_restoresAllSettings()
{
    m_env->writeList(u"a.lxg"_s, u"Animals"_s, QString(), {u"tiger"_s, u"lion"_s});
    start();
    modal::onNext([](QWidget *dialog) {
        dialog->findChild<QLineEdit *>(u"Text1"_s)->setText(u"3"_s);
        dialog->findChild<QLineEdit *>(u"Text2"_s)->setText(u"30"_s);
        dialog->findChild<QLineEdit *>(u"Text3"_s)->setText(u"4"_s);
        dialog->findChild<QComboBox *>(u"Combo1"_s)->setCurrentText(u"Upper Case Only"_s);
        dialog->findChild<QCheckBox *>(u"Check1"_s)->setChecked(true);
        dialog->findChild<QCheckBox *>(u"Check2"_s)->setChecked(true);
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"Command2"_s), Qt::LeftButton);
    });
    QTest::mouseClick(button(u"Command1"_s), Qt::LeftButton);

    // A fresh start: new windows over the same store.
    start();
    // The first batch already uses the stored values, before the dialog was opened.
    const QStringList passwords = suggest().split(u'\n').mid(2);
    QCOMPARE(passwords.size(), 4);
    for (const QString &password : passwords)
        QCOMPARE(password, password.toUpper());
    QStringList shown;
    modal::onNext([&shown](QWidget *dialog) {
        for (const QString &name : {u"Text1"_s, u"Text2"_s, u"Text3"_s})
            shown.append(dialog->findChild<QLineEdit *>(name)->text());
        shown.append(dialog->findChild<QComboBox *>(u"Combo1"_s)->currentText());
        for (const QString &name : {u"Check1"_s, u"Check2"_s})
            shown.append(dialog->findChild<QCheckBox *>(name)->isChecked() ? u"ticked"_s : u"clear"_s);
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"Command1"_s), Qt::LeftButton);
    });
    QTest::mouseClick(button(u"Command1"_s), Qt::LeftButton);
    QCOMPARE(shown, QStringList({u"3"_s, u"30"_s, u"4"_s, u"Upper Case Only"_s, u"ticked"_s, u"ticked"_s}));
}

void TestFrmMain::settingsCloseBox_losesEdits()
{
    start();
    modal::onNext([](QWidget *dialog) {
        dialog->findChild<QLineEdit *>(u"Text3"_s)->setText(u"3"_s);
        dialog->close();
    });
    QTest::mouseClick(button(u"Command1"_s), Qt::LeftButton);
    QString count;
    modal::onNext([&count](QWidget *dialog) {
        count = dialog->findChild<QLineEdit *>(u"Text3"_s)->text();
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"Command2"_s), Qt::LeftButton);
    });
    QTest::mouseClick(button(u"Command1"_s), Qt::LeftButton);
    QCOMPARE(count, u"10"_s);
}

void TestFrmMain::about_staysPastTheSplashDelay()
{
    start(20ms);
    bool timerStopped = false;
    bool openAfterDelay = false;
    bool closedByClick = false;
    modal::onNext([&](QWidget *about) {
        QCOMPARE(about->objectName(), u"frmSplash"_s);
        timerStopped = !about->findChild<QTimer *>(u"Timer1"_s)->isActive();
        QTest::qWait(200); // ten times the delay
        openAfterDelay = about->isVisible();
        QTest::mouseClick(about->findChild<QWidget *>(u"Frame1"_s), Qt::LeftButton, {}, QPoint(5, 5));
        closedByClick = !about->isVisible();
    });
    QTest::mouseClick(button(u"Command7"_s), Qt::LeftButton);
    QVERIFY(timerStopped);
    QVERIFY(openAfterDelay);
    QVERIFY(closedByClick);
}

void TestFrmMain::closeBox_savesLibrary_closeButtonDoesNot()
{
    m_env->writeList(u"a.lxg"_s, u"A"_s, QString(), {u"cat"_s});
    start();
    const int writes = m_env->store.writes;
    QTest::mouseClick(button(u"Command2"_s), Qt::LeftButton);
    QCOMPARE(m_env->store.writes, writes);
    QVERIFY(m_window->close());
    QCOMPARE(m_env->store.writes, writes + 2); // "count" and "passfile1"
}

void TestFrmMain::saveFails_toldOnce_keepsWorking()
{
    m_env->writeList(u"a.lxg"_s, u"A"_s, QString(), {u"cat"_s});
    m_env->store.writable = false;
    start();
    QCOMPARE(m_env->notice.messages.size(), 1);
    QVERIFY(m_env->notice.messages.first().contains(u"could not be saved"_s));
    m_env->fileDialog.setNextFileName(m_env->path(u"a.lxg"_s));
    QTest::mouseClick(button(u"Command6"_s), Qt::LeftButton);
    QCOMPARE(rows().size(), 2);
    select(0);
    QTest::mouseClick(button(u"Command5"_s), Qt::LeftButton);
    QCOMPARE(rows().size(), 1);
    QCOMPARE(m_env->notice.messages.size(), 1);
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
