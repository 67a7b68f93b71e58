// What every window must do alike, checked over each of them: its controls
// fit at every font, inside the screen, none over another; its text reads
// well in light, dark and high-contrast themes; every control has a mnemonic,
// no two alike, and a name for screen readers; Tab runs in the designed
// order. With LEXIGLOW_SCREENSHOTS naming a folder, the screenshots case saves
// what each window looks like on the display it runs on (scripts/screenshots.sh).

#include "support/WindowTestEnvironment.h"

#include "about/frmSplash.h"
#include "generation/SuggestionText.h"
#include "generation/passSug.h"
#include "library/NewWordList.h"
#include "library/frmMain.h"
#include "platform/Readable.h"
#include "settings/SettingsWindow.h"
#include "settings/advSettings.h"

#include <QAccessible>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTextBlock>
#include <QTreeView>

using namespace lexiglow;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QStringList windowNames{u"frmMain"_s, u"passSug"_s, u"advSettings"_s, u"frmSplash"_s, u"NewWordList"_s};

// Every window as a person first sees it: the main window with the eight
// lists that ship, a batch of suggestions from them, the settings, About, and
// a new word list of a text file with a warning.
struct Windows
{
    WindowTestEnvironment env;
    std::optional<SettingsWindow> settings;
    std::optional<SecretClipboard> clipboard;
    std::optional<frmMain> main;
    std::optional<passSug> suggestions;
    std::optional<frmSplash> about;
    std::optional<NewWordList> newList;

    Windows()
    {
        QStringList passfiles{QString()};
        QList<ListRow> rows;
        for (const QFileInfo &list : QDir(QStringLiteral(BUILT_LISTS)).entryInfoList({u"*.lxg"_s}, QDir::Files, QDir::Name)) {
            QFile::copy(list.filePath(), env.path(list.fileName()));
            passfiles.append(env.path(list.fileName()));
            rows.append({true, u"file_%1"_s.arg(rows.size() + 1)});
        }
        // Random enough to look like a real batch, the same on every run.
        quint32 state = 1;
        env.randomValues.clear();
        for (int i = 0; i < 997; ++i)
            env.randomValues.append((state = state * 1664525u + 1013904223u) / 4294967296.0);
        settings.emplace(env.store, env.notice, nullptr);
        clipboard.emplace(env, [this] { return settings->clearDelay(); });
        main.emplace(env.services(0ms));
        main->load(); // the splash closes at once
        suggestions.emplace(env, *settings, env.notice, *clipboard);
        suggestions->setLargeList(QStringLiteral(BUILT_LISTS) + u"/lists/common.lxg"_s); // its advice with the rest
        suggestions->buildlist(rows, passfiles);
        suggestions->generate();
        if (!settle(&*suggestions))
            qWarning("the suggestions were not shown in time");
        about.emplace(env, u"https://www.example.org"_s, 1h);
        newList.emplace(env.writeFile(u"animals.txt"_s, "Tiger\nLion\nOtter\nTiger\n"), env.path(u"data/lists"_s), env.notice);
        newList->count();
        if (!QTest::qWaitFor([this] { return newList->isReady(); }))
            qWarning("the words were not counted");
    }

    // Shows the window of that objectName as it opens.
    QWidget *show(const QString &name)
    {
        QWidget *const windows[] = {&*main, &*suggestions, &settings->dialog(), &*about, &*newList};
        QWidget *shown = *std::find_if(std::begin(windows), std::end(windows), [&name](QWidget *w) { return w->objectName() == name; });
        shown->show();
        if (!QTest::qWaitForWindowExposed(shown))
            qWarning("%s was not exposed", qPrintable(name));
        return shown;
    }
};

// Copies the third password, which fills the lines under the passwords.
void copyAPassword(QPlainTextEdit *passwords)
{
    passwords->setTextCursor(QTextCursor(passwords->document()->findBlockByNumber(3)));
    QTest::keyClick(passwords, Qt::Key_C, Qt::ControlModifier);
    QTest::qWait(1);
}

// The window's own controls, which it names, not the parts Qt makes inside them.
QList<QWidget *> controls(QWidget *window)
{
    QList<QWidget *> result = window->findChildren<QWidget *>();
    result.removeIf([window](QWidget *widget) {
        return !widget->isVisibleTo(window) || widget->objectName().isEmpty() || widget->objectName().startsWith(u"qt_"_s);
    });
    return result;
}

// Everything clipped, overlapping another control, or off the screen; at
// first, also a list not shown whole where the screen has room for it.
QStringList layoutProblems(QWidget *window, bool atFirst)
{
    QStringList problems;
    const QRect area = window->screen()->availableGeometry();
    if (!area.contains(window->frameGeometry()))
        problems << u"the window lies outside the screen"_s;
    const QList<QWidget *> all = controls(window);
    for (QWidget *widget : all) {
        const auto *label = qobject_cast<QLabel *>(widget);
        const QSize need = label && label->wordWrap() ? QSize(0, label->heightForWidth(label->width())) : widget->minimumSizeHint();
        if (widget->width() < need.width() || widget->height() < need.height())
            problems << u"%1 is %2 high, needs %3"_s.arg(widget->objectName()).arg(widget->height()).arg(need.height());
        if (!widget->parentWidget()->rect().contains(widget->geometry()))
            problems << widget->objectName() + u" sticks out"_s;
        for (QWidget *other : all) {
            if (other < widget && other->parentWidget() == widget->parentWidget() && other->geometry().intersects(widget->geometry()))
                problems << widget->objectName() + u" overlaps "_s + other->objectName();
        }
    }
    for (auto *view : window->findChildren<QTreeView *>()) {
        const bool room = atFirst && window->frameGeometry().height() < area.height();
        if (room && view->verticalScrollBar()->isVisible())
            problems << view->objectName() + u" needs a scroll bar"_s;
        for (int column = 0; room && column < view->model()->columnCount(); ++column) {
            if (view->header()->sectionSize(column) < static_cast<QAbstractItemView *>(view)->sizeHintForColumn(column))
                problems << u"%1 cuts column %2 short"_s.arg(view->objectName()).arg(column);
        }
    }
    return problems;
}

// The colour behind a widget: that of the nearest widget under it, or of
// itself, that paints a backdrop.
QColor backdropOf(const QWidget *widget)
{
    while (!widget->autoFillBackground() && !widget->isWindow())
        widget = widget->parentWidget();
    return widget->palette().color(widget->backgroundRole());
}

// A control's caption, and what its mnemonic reaches: a button itself, a
// label's field, the first control in a group box.
std::pair<QString, QWidget *> captionOf(QWidget *widget)
{
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        return {button->text(), button};
    if (auto *label = qobject_cast<QLabel *>(widget); label && label->buddy())
        return {label->text(), label->buddy()};
    if (auto *box = qobject_cast<QGroupBox *>(widget)) {
        const QList<QWidget *> inside = box->findChildren<QWidget *>();
        const auto first = std::find_if(inside.begin(), inside.end(), [](QWidget *w) { return w->focusPolicy() & Qt::TabFocus; });
        return {box->title(), first == inside.end() ? nullptr : *first};
    }
    return {};
}

bool takesFocus(const QWidget *widget)
{
    return (widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled();
}

} // namespace

class TestWindows final : public QObject
{
    Q_OBJECT

    std::optional<Windows> m_windows;
    QFont m_font;

private slots:
    void initTestCase()
    {
        // The same look whatever the desktop the tests run on.
        QApplication::setStyle(QStyleFactory::create(u"Fusion"_s));
        m_font = QApplication::font();
    }

    void cleanup()
    {
        m_windows.reset();
        QApplication::setFont(m_font);
        QApplication::setPalette(QApplication::style()->standardPalette());
    }

    void layout_fitsAtEveryFont_atFirstAndAtTheSmallest_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("points");
        for (const QString &window : windowNames)
            for (const int points : {9, 12, 14})
                QTest::addRow("%s at %d pt", qPrintable(window), points) << window << points;
    }

    void layout_fitsAtEveryFont_atFirstAndAtTheSmallest()
    {
        QFETCH(QString, window);
        QFETCH(int, points);
        QFont font = m_font;
        font.setPointSize(points);
        QApplication::setFont(font);
        m_windows.emplace();
        QWidget *shown = m_windows->show(window);
        const QStringList atFirst = layoutProblems(shown, true);
        QVERIFY2(atFirst.isEmpty(), qPrintable(atFirst.join(u"; "_s)));
        shown->resize(1, 1);
        QTest::qWait(1);
        QStringList atSmallest = layoutProblems(shown, false);
        // The suggestions' longest lines come when the window is already
        // small: a copy, then a Minimum Strength out of reach.
        if (auto *passwords = shown->findChild<QPlainTextEdit *>(u"Text1"_s)) {
            copyAPassword(passwords);
            atSmallest << layoutProblems(shown, false);
            m_windows->settings->dialog().findChild<QLineEdit *>(u"Text4"_s)->setText(u"99"_s);
            modal::click(shown, u"Command2"_s);
            QVERIFY(settle(shown));
            QTest::qWait(1);
            atSmallest << layoutProblems(shown, false);
        }
        QVERIFY2(atSmallest.isEmpty(), qPrintable(atSmallest.join(u"; "_s)));
    }

    void text_readsWellInEveryTheme_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QPalette>("palette");
        // By role: WindowText, Button, Light, Dark, Mid, Text, BrightText, Base, Window. The
        // dark one is qt6ct's "darker".
        const QPalette dark(Qt::white, QColor(0x42, 0x42, 0x45), QColor(0x97, 0x97, 0x97), QColor(0x30, 0x2f, 0x2e),
                            QColor(0x4a, 0x49, 0x47), Qt::white, Qt::white, QColor(0x3d, 0x3d, 0x3d), QColor(0x22, 0x20, 0x20));
        const QPalette highContrast(Qt::white, Qt::black, Qt::white, Qt::white, Qt::white, Qt::white, Qt::white, Qt::black, Qt::black);
        for (const QString &window : windowNames) {
            QTest::addRow("%s, light", qPrintable(window)) << window << QApplication::style()->standardPalette();
            QTest::addRow("%s, dark", qPrintable(window)) << window << dark;
            QTest::addRow("%s, high contrast", qPrintable(window)) << window << highContrast;
        }
    }

    // Text on the windows' backdrops and buttons, and on the marks of weak passwords.
    void text_readsWellInEveryTheme()
    {
        QFETCH(QString, window);
        QFETCH(QPalette, palette);
        QApplication::setPalette(palette);
        m_windows.emplace();
        QWidget *shown = m_windows->show(window);
        QStringList faint;
        const auto check = [&faint](const QString &what, const QColor &text, const QColor &behind) {
            if (readable::contrast(text, behind) < readable::minimumContrast)
                faint << u"%1: %2 on %3"_s.arg(what, text.name(), behind.name());
        };
        for (QWidget *widget : controls(shown)) {
            if (widget->inherits("QPushButton")) // on its own face
                check(widget->objectName(), widget->palette().color(QPalette::ButtonText), widget->palette().color(QPalette::Button));
            else if (qobject_cast<QLabel *>(widget) || qobject_cast<QGroupBox *>(widget) || qobject_cast<QAbstractButton *>(widget))
                check(widget->objectName(), widget->palette().color(widget->foregroundRole()), backdropOf(widget));
        }
        if (auto *passwords = shown->findChild<SuggestionText *>(u"Text1"_s)) {
            // The shipped lists make weak passwords; their lines are painted in the mark's colour.
            const std::vector<bool> &marks = passwords->marks();
            const auto weak = std::find(marks.begin(), marks.end(), true);
            QVERIFY(weak != marks.end());
            const QColor back = passwords->markColour();
            check(u"a weak password"_s, passwords->palette().color(QPalette::Text), back);
            QVERIFY(back != palette.color(QPalette::Base)); // still marked
            const QTextBlock line = passwords->document()->findBlockByNumber(int(weak - marks.begin()));
            const QPoint inLine = passwords->viewport()->mapTo(
                shown, QPoint(passwords->viewport()->width() - 4, passwords->cursorRect(QTextCursor(line)).center().y()));
            QCOMPARE(shown->grab().toImage().pixelColor(inLine * shown->devicePixelRatio()), back);
        }
        QVERIFY2(faint.isEmpty(), qPrintable(faint.join(u"; "_s)));
        // A backdrop taken from the theme follows a change of theme.
        if (window == u"frmMain"_s) {
            QApplication::setPalette(QPalette(Qt::white, Qt::black, Qt::white, Qt::white, Qt::white, Qt::white, Qt::white, Qt::black, Qt::black));
            QTRY_COMPARE(backdropOf(shown->findChild<QWidget *>(u"Label1"_s)), QColor(Qt::black));
        }
    }

    void keyboardAndScreenReaders_mnemonicsNamesAndTabOrder_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("captions"); // every caption with a mnemonic, as "objectName caption"
        QTest::addColumn<QStringList>("order");    // of Tab, from the first control
        QTest::addRow("frmMain") << u"frmMain"_s
                                 << QStringList({u"sugPass &Suggest Passwords"_s, u"Command1 &Advanced Settings"_s,
                                                 u"Frame1 &Word Lists"_s, u"Command6 Add &List"_s, u"Command5 &Delete List"_s,
                                                 u"Command7 A&bout"_s, u"Command2 &Close"_s})
                                 << QStringList({u"sugPass"_s, u"ListView1"_s, u"Command1"_s, u"Command2"_s, u"Command5"_s,
                                                 u"Command6"_s, u"Command7"_s});
        // The lines under the passwords follow the buttons while they say something.
        QTest::addRow("passSug") << u"passSug"_s
                                 << QStringList({u"Label1 &Below are passwords made from your word lists. How hard they are "
                                                 "to guess is shown under the list; weak ones are marked in red."_s,
                                                 u"Command3 &Modify Settings"_s, u"Command2 &New List"_s, u"Command1 &Close"_s})
                                 << QStringList({u"Text1"_s, u"Command1"_s, u"Command2"_s, u"Command3"_s, u"lblStrength"_s});
        QTest::addRow("advSettings")
            << u"advSettings"_s
            << QStringList({u"Label2 &Minimum Password Length"_s, u"Label1 Ma&ximum Password Length"_s,
                            u"Label3 &Passwords to Generate"_s, u"Label4 &Letter Case"_s, u"Label6 Clear Copied Password &After"_s,
                            u"Check2 Use &Special Characters ( ) * + , - . /"_s,
                            u"Check1 Use Letter &Replacement (a = @, i = 1, e = 3)"_s, u"Label7 Minimum S&trength (bits)"_s,
                            u"Command2 &Ok"_s, u"Command1 &Cancel"_s})
            << QStringList({u"Check1"_s, u"Check2"_s, u"Text1"_s, u"Text2"_s, u"Text3"_s, u"Combo1"_s, u"Combo2"_s, u"Text4"_s,
                            u"Command1"_s, u"Command2"_s});
        QTest::addRow("frmSplash") << u"frmSplash"_s << QStringList({u"cmdSysInfo &Visit Website"_s})
                                   << QStringList({u"Picture1"_s, u"cmdSysInfo"_s});
        QTest::addRow("NewWordList") << u"NewWordList"_s
                                     << QStringList({u"lblName &Name"_s, u"lblDescription &Description"_s, u"lblWarnings &Warnings"_s,
                                                     u"cmdOk &Ok"_s, u"cmdCancel &Cancel"_s})
                                     << QStringList({u"txtName"_s, u"txtDescription"_s, u"lblWords"_s, u"txtWarnings"_s, u"cmdOk"_s,
                                                     u"cmdCancel"_s});
    }

    void keyboardAndScreenReaders_mnemonicsNamesAndTabOrder()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, captions);
        QFETCH(QStringList, order);
        m_windows.emplace();
        QWidget *shown = m_windows->show(window);
        QStringList seen;
        QMap<QKeySequence, QString> letters;
        QSet<QWidget *> reached;
        for (QWidget *widget : controls(shown)) {
            const auto [caption, target] = captionOf(widget);
            if (const QKeySequence letter = QKeySequence::mnemonic(caption); !letter.isEmpty()) {
                seen << widget->objectName() + u' ' + caption;
                QVERIFY2(!letters.contains(letter), qPrintable(letters[letter] + u" and "_s + widget->objectName() + u" share one"_s));
                letters.insert(letter, widget->objectName());
                reached.insert(target);
            }
        }
        seen.sort(), captions.sort();
        QCOMPARE(seen, captions);
        // Every control that takes the focus has a mnemonic, but for text that
        // is only read (a picture, the lines under the passwords), and every
        // one has a name for screen readers (the ticks' are in tst_frmmain).
        QStringList missing;
        for (QWidget *widget : controls(shown)) {
            if (takesFocus(widget) && !qobject_cast<QLabel *>(widget) && !reached.contains(widget))
                missing << widget->objectName() + u" without a mnemonic"_s;
            if (takesFocus(widget) && QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name).isEmpty())
                missing << widget->objectName() + u" without a name"_s;
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u", "_s)));
        QStringList tabs;
        QWidget *widget = shown->findChild<QWidget *>(order.constFirst());
        for (int step = 0; step < 100 && tabs.size() < order.size(); ++step, widget = widget->nextInFocusChain()) {
            if (takesFocus(widget) && widget->isVisibleTo(shown))
                tabs.append(widget->objectName());
        }
        QCOMPARE(tabs, order);
    }

    // Not a check of its own: saves each window, alone and on the screen,
    // for a person to look at, and fails where its layout does.
    void screenshots()
    {
        const QString folder = qEnvironmentVariable("LEXIGLOW_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("LEXIGLOW_SCREENSHOTS names no folder");
        const QString tag = qEnvironmentVariable("LEXIGLOW_SCREENSHOT_TAG", u"shot"_s);
        m_windows.emplace();
        for (const QString &name : windowNames) {
            QWidget *shown = m_windows->show(name);
            if (auto *passwords = shown->findChild<QPlainTextEdit *>(u"Text1"_s))
                copyAPassword(passwords);
            QTest::qWait(200);
            QVERIFY(shown->grab().save(u"%1/%2-%3.png"_s.arg(folder, tag, name)));
            QVERIFY(shown->screen()->grabWindow(0).save(u"%1/%2-%3-screen.png"_s.arg(folder, tag, name)));
            const QStringList problems = layoutProblems(shown, true);
            QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u"; "_s)));
            shown->hide();
        }
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
