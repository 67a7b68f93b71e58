// What every window of the program must do alike, checked over each of them:
// its controls fit at every font, on the screen, without overlapping; its
// text reads well in light, dark and high-contrast themes; every control has
// its mnemonic and its name for screen readers; Tab runs in the designed
// order. With LEXIGLOW_SCREENSHOTS set to a folder, the screenshots test
// saves what each window looks like on the display it runs on
// (scripts/screenshots.sh).

#include "support/WindowTestEnvironment.h"

#include "about/frmSplash.h"
#include "generation/passSug.h"
#include "library/frmMain.h"
#include "platform/Readable.h"
#include "settings/SettingsWindow.h"
#include "settings/advSettings.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTextBlock>
#include <QTreeView>

using namespace lexiglow;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QStringList windowNames{u"frmMain"_s, u"passSug"_s, u"advSettings"_s, u"frmSplash"_s};

// Every window as a person first sees it: the main window with the eight
// lists that ship, a batch of suggestions from them, the settings, About.
struct Windows
{
    WindowTestEnvironment env;
    std::optional<SettingsWindow> settings;
    std::optional<SecretClipboard> clipboard;
    std::optional<frmMain> main;
    std::optional<passSug> suggestions;
    std::optional<frmSplash> about;

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
        suggestions->buildlist(rows, passfiles);
        suggestions->generate();
        about.emplace(env, u"https://www.example.org"_s, 1h);
    }

    QWidget *window(const QString &name)
    {
        if (name == u"frmMain"_s)
            return &*main;
        if (name == u"passSug"_s)
            return &*suggestions;
        if (name == u"advSettings"_s)
            return &settings->dialog();
        return &*about;
    }

    // Shows the window as it opens, ready to be looked at.
    QWidget *show(const QString &name)
    {
        QWidget *shown = window(name);
        shown->show();
        if (!QTest::qWaitForWindowExposed(shown))
            qWarning("%s was not exposed", qPrintable(name));
        return shown;
    }
};

QString describe(const QRect &r)
{
    return u"%1x%2 at %3,%4"_s.arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y());
}

// The window's own controls: those it names, not the parts Qt makes inside
// its widgets.
QList<QWidget *> controls(QWidget *window)
{
    QList<QWidget *> result;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (widget->isVisibleTo(window) && !widget->objectName().isEmpty() && !widget->objectName().startsWith(u"qt_"_s))
            result.append(widget);
    }
    return result;
}

// The room a control needs to show all of itself.
QSize needed(const QWidget *widget)
{
    if (const auto *label = qobject_cast<const QLabel *>(widget); label && label->wordWrap())
        return {0, label->heightForWidth(label->width())};
    return widget->minimumSizeHint();
}

// Everything that is clipped, overlaps, or lies off the screen.
QStringList layoutProblems(QWidget *window)
{
    QStringList problems;
    const QRect area = window->screen()->availableGeometry();
    if (!area.contains(window->frameGeometry()))
        problems << u"the window, %1, is not inside the screen's %2"_s.arg(describe(window->frameGeometry()), describe(area));
    const QList<QWidget *> all = controls(window);
    for (QWidget *widget : all) {
        const QString name = widget->objectName();
        if (!widget->parentWidget()->rect().contains(widget->geometry()))
            problems << name + u" sticks out of "_s + widget->parentWidget()->objectName();
        const QSize need = needed(widget);
        if (widget->width() < need.width() || widget->height() < need.height())
            problems << u"%1 is %2x%3 but needs %4x%5"_s.arg(name).arg(widget->width()).arg(widget->height()).arg(need.width()).arg(need.height());
        for (QWidget *other : all) {
            if (other < widget && other->parentWidget() == widget->parentWidget() && other->geometry().intersects(widget->geometry()))
                problems << name + u" overlaps "_s + other->objectName();
        }
    }
    return problems;
}

// A list view that has the room shows every row and every column whole.
QStringList cutRows(QWidget *window)
{
    QStringList problems;
    const QRect area = window->screen()->availableGeometry();
    for (auto *view : window->findChildren<QTreeView *>()) {
        if (window->frameGeometry().height() < area.height() && view->verticalScrollBar()->isVisible())
            problems << view->objectName() + u" needs a scroll bar"_s;
        for (int column = 0; column < view->model()->columnCount(); ++column) {
            if (view->header()->sectionSize(column) < static_cast<QAbstractItemView *>(view)->sizeHintForColumn(column))
                problems << u"%1 cuts column %2 short"_s.arg(view->objectName()).arg(column);
        }
    }
    return problems;
}

QPalette darkPalette()
{
    QPalette palette(QColor(0x42, 0x42, 0x45), QColor(0x22, 0x20, 0x20));
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Base, QColor(0x3d, 0x3d, 0x3d));
    palette.setColor(QPalette::AlternateBase, QColor(0x5c, 0x5b, 0x5a));
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::Highlight, QColor(0x12, 0x60, 0x8a));
    palette.setColor(QPalette::HighlightedText, QColor(0xf9, 0xf9, 0xf9));
    return palette;
}

QPalette highContrastPalette()
{
    QPalette palette(Qt::black, Qt::black);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::BrightText})
        palette.setColor(role, Qt::white);
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Highlight, QColor(0x1a, 0xeb, 0xff));
    palette.setColor(QPalette::HighlightedText, Qt::black);
    return palette;
}

// The colour behind a widget: its own backdrop or that of the nearest
// widget under it that paints one.
QColor backdropOf(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (w->autoFillBackground() || w->isWindow())
            return w->palette().color(w->backgroundRole());
    }
    return {};
}

// The letter after a single "&", lower case; none without one.
QChar mnemonic(const QString &caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == u'&')
            return caption[i + 1] == u'&' ? (++i, QChar()) : caption[i + 1].toLower();
    }
    return {};
}

QString caption(const QWidget *widget)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->buddy() ? label->text() : QString();
    if (const auto *box = qobject_cast<const QGroupBox *>(widget))
        return box->title();
    return {};
}

// What a caption's mnemonic reaches: the button itself, a label's field, the
// first control in a group box.
QWidget *reached(QWidget *widget)
{
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->buddy();
    if (qobject_cast<QGroupBox *>(widget)) {
        for (QWidget *child : widget->findChildren<QWidget *>())
            if (child->focusPolicy() & Qt::TabFocus)
                return child;
    }
    return widget;
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
        const QStringList atFirst = layoutProblems(shown) + cutRows(shown);
        QVERIFY2(atFirst.isEmpty(), qPrintable(atFirst.join(u"; "_s)));
        shown->resize(1, 1);
        QTest::qWait(1);
        QStringList atSmallest = layoutProblems(shown);
        // The suggestions' longest lines come later, when the window is
        // already small: a copy, then a Minimum Strength out of reach.
        if (auto *passwords = shown->findChild<QPlainTextEdit *>(u"Text1"_s)) {
            passwords->setTextCursor(QTextCursor(passwords->document()->findBlockByNumber(3)));
            QTest::keyClick(passwords, Qt::Key_C, Qt::ControlModifier);
            QTest::qWait(1);
            atSmallest << layoutProblems(shown);
            m_windows->settings->dialog().findChild<QLineEdit *>(u"Text4"_s)->setText(u"99"_s);
            QTest::mouseClick(shown->findChild<QPushButton *>(u"Command2"_s), Qt::LeftButton);
            QTest::qWait(1);
            atSmallest << layoutProblems(shown);
        }
        QVERIFY2(atSmallest.isEmpty(), qPrintable(u"at "_s + describe(shown->geometry()) + u": "_s + atSmallest.join(u"; "_s)));
    }

    void text_readsWellInEveryTheme_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QPalette>("palette");
        const QPalette light = QStyleFactory::create(u"Fusion"_s)->standardPalette();
        for (const QString &window : windowNames) {
            QTest::addRow("%s, light", qPrintable(window)) << window << light;
            QTest::addRow("%s, dark", qPrintable(window)) << window << darkPalette();
            QTest::addRow("%s, high contrast", qPrintable(window)) << window << highContrastPalette();
        }
    }

    // Text on the windows' backdrops, and on the marks of weak passwords.
    void text_readsWellInEveryTheme()
    {
        QFETCH(QString, window);
        QFETCH(QPalette, palette);
        QApplication::setPalette(palette);
        m_windows.emplace();
        QWidget *shown = m_windows->show(window);
        QStringList faint;
        for (QWidget *widget : controls(shown)) {
            if (!qobject_cast<QLabel *>(widget) && !qobject_cast<QGroupBox *>(widget) && !qobject_cast<QAbstractButton *>(widget))
                continue;
            // Push buttons paint their own face, from the theme.
            const bool onFace = widget->inherits("QPushButton");
            const QColor text = widget->palette().color(onFace ? QPalette::ButtonText : widget->foregroundRole());
            const QColor behind = onFace ? widget->palette().color(QPalette::Button) : backdropOf(widget);
            if (readable::contrast(text, behind) < readable::minimumContrast)
                faint << u"%1 %2 on %3: %4"_s.arg(widget->objectName(), text.name(), behind.name()).arg(readable::contrast(text, behind));
        }
        if (auto *passwords = shown->findChild<QPlainTextEdit *>(u"Text1"_s); passwords && window == u"passSug"_s) {
            QVERIFY(!passwords->extraSelections().isEmpty()); // the shipped lists make weak passwords
            for (const QTextEdit::ExtraSelection &mark : passwords->extraSelections()) {
                const QColor back = mark.format.background().color();
                const QColor fore = mark.format.hasProperty(QTextFormat::ForegroundBrush) ? mark.format.foreground().color()
                                                                                         : passwords->palette().color(QPalette::Text);
                if (readable::contrast(fore, back) < readable::minimumContrast || back == palette.color(QPalette::Base))
                    faint << u"a weak password, %1 on %2"_s.arg(fore.name(), back.name());
            }
        }
        QVERIFY2(faint.isEmpty(), qPrintable(faint.join(u"; "_s)));
        // A backdrop taken from the theme follows a change of theme.
        if (window == u"frmMain"_s) {
            QApplication::setPalette(highContrastPalette());
            QTRY_COMPARE(backdropOf(shown->findChild<QWidget *>(u"Label1"_s)), QColor(Qt::black));
        }
    }

    void mnemonics_oneOnEveryControl_noTwoAlike_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("captions"); // every caption with a mnemonic, as "objectName caption"
        QTest::addRow("frmMain") << u"frmMain"_s
                                 << QStringList({u"sugPass &Suggest Passwords"_s, u"Command1 &Advanced Settings"_s,
                                                 u"Frame1 &Word Lists"_s, u"Command6 Add &List"_s, u"Command5 &Delete List"_s,
                                                 u"Command7 A&bout"_s, u"Command2 &Close"_s});
        QTest::addRow("passSug") << u"passSug"_s
                                 << QStringList({u"Label1 &Below are passwords made from your word lists. How hard they are "
                                                 "to guess is shown under the list; weak ones are marked in red."_s,
                                                 u"Command3 &Modify Settings"_s, u"Command2 &New List"_s, u"Command1 &Close"_s});
        QTest::addRow("advSettings")
            << u"advSettings"_s
            << QStringList({u"Label2 &Minimum Password Length"_s, u"Label1 Ma&ximum Password Length"_s,
                            u"Label3 &Passwords to Generate"_s, u"Label4 &Letter Case"_s, u"Label6 Clear Copied Password &After"_s,
                            u"Check2 Use &Special Characters ( ) * + , - . /"_s,
                            u"Check1 Use Letter &Replacement For More Security"_s, u"Label7 Minimum S&trength (bits)"_s,
                            u"Command2 &Ok"_s, u"Command1 &Cancel"_s});
        QTest::addRow("frmSplash") << u"frmSplash"_s << QStringList({u"cmdSysInfo &Visit Website"_s});
    }

    void mnemonics_oneOnEveryControl_noTwoAlike()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, captions);
        m_windows.emplace();
        QWidget *shown = m_windows->show(window);
        QStringList seen;
        QMap<QChar, QString> letters;
        QSet<QWidget *> reachable;
        for (QWidget *widget : controls(shown)) {
            const QString text = caption(widget);
            if (const QChar letter = mnemonic(text); !letter.isNull()) {
                seen << widget->objectName() + u' ' + text;
                QVERIFY2(!letters.contains(letter), qPrintable(u"%1 and %2 share Alt+%3"_s.arg(letters[letter], widget->objectName(), letter)));
                letters.insert(letter, widget->objectName());
                reachable.insert(reached(widget));
            }
        }
        seen.sort(), captions.sort();
        QCOMPARE(seen, captions);
        // Every control that takes the focus, but for text that is only read
        // (a picture, the lines under the passwords).
        for (QWidget *widget : controls(shown)) {
            if (takesFocus(widget) && !qobject_cast<QLabel *>(widget))
                QVERIFY2(reachable.contains(widget), qPrintable(widget->objectName() + u" has no mnemonic"_s));
        }
    }

    void accessibility_everyFocusableControlIsNamed_andTellsItsShortcut_data()
    {
        QTest::addColumn<QString>("window");
        for (const QString &window : windowNames)
            QTest::newRow(qPrintable(window)) << window;
    }

    void accessibility_everyFocusableControlIsNamed_andTellsItsShortcut()
    {
        QFETCH(QString, window);
        m_windows.emplace();
        QWidget *shown = m_windows->show(window);
        QStringList unnamed;
        // Every control, and every tick in a list, that a screen reader can reach.
        std::function<void(QAccessibleInterface *)> walk = [&](QAccessibleInterface *item) {
            const QAccessible::State state = item->state();
            const bool control = item->object() && item->object()->isWidgetType();
            if (state.focusable && !state.invisible && (control || state.checkable) && item->text(QAccessible::Name).isEmpty())
                unnamed << (control ? item->object()->objectName() : u"a tick"_s);
            for (int i = 0; i < item->childCount(); ++i)
                walk(item->child(i));
        };
        walk(QAccessible::queryAccessibleInterface(shown));
        QVERIFY2(unnamed.isEmpty(), qPrintable(u"without a name: "_s + unnamed.join(u", "_s)));
        // A button tells its mnemonic, or Enter where it is the default.
        for (auto *button : shown->findChildren<QPushButton *>()) {
            const QString shortcut = QAccessible::queryAccessibleInterface(button)->text(QAccessible::Accelerator);
            QCOMPARE(shortcut.toLower(), button->isDefault() ? u"enter"_s : u"alt+"_s + mnemonic(button->text()));
        }
    }

    void tabOrder_asDesigned_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("order");
        QTest::addRow("frmMain") << u"frmMain"_s
                                 << QStringList({u"sugPass"_s, u"ListView1"_s, u"Command1"_s, u"Command2"_s, u"Command5"_s,
                                                 u"Command6"_s, u"Command7"_s});
        // The lines under the passwords follow the buttons while they say something.
        QTest::addRow("passSug") << u"passSug"_s
                                 << QStringList({u"Text1"_s, u"Command1"_s, u"Command2"_s, u"Command3"_s, u"lblStrength"_s});
        QTest::addRow("advSettings") << u"advSettings"_s
                                     << QStringList({u"Check1"_s, u"Check2"_s, u"Text1"_s, u"Text2"_s, u"Text3"_s, u"Combo1"_s,
                                                     u"Combo2"_s, u"Text4"_s, u"Command1"_s, u"Command2"_s});
        QTest::addRow("frmSplash") << u"frmSplash"_s << QStringList({u"Picture1"_s, u"cmdSysInfo"_s});
    }

    void tabOrder_asDesigned()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, order);
        m_windows.emplace();
        QWidget *shown = m_windows->show(window);
        QWidget *first = shown->findChild<QWidget *>(order.constFirst());
        QStringList seen;
        QWidget *widget = first;
        do {
            if (takesFocus(widget) && widget->isVisibleTo(shown))
                seen.append(widget->objectName());
            widget = widget->nextInFocusChain();
        } while (widget != first && seen.size() <= order.size());
        QCOMPARE(seen, order);
    }

    // Not a check of its own: saves each window, on its own on the screen
    // and as a picture, for a person to look at.
    void screenshots()
    {
        const QString folder = qEnvironmentVariable("LEXIGLOW_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("LEXIGLOW_SCREENSHOTS names no folder");
        const QString tag = qEnvironmentVariable("LEXIGLOW_SCREENSHOT_TAG", u"shot"_s);
        m_windows.emplace();
        for (const QString &name : windowNames) {
            QWidget *shown = m_windows->show(name);
            // With every line under the passwords filled in.
            if (auto *passwords = shown->findChild<QPlainTextEdit *>(u"Text1"_s)) {
                passwords->setTextCursor(QTextCursor(passwords->document()->findBlockByNumber(3)));
                QTest::keyClick(passwords, Qt::Key_C, Qt::ControlModifier);
            }
            QTest::qWait(200);
            QVERIFY(shown->grab().save(u"%1/%2-%3.png"_s.arg(folder, tag, name)));
            QVERIFY(shown->screen()->grabWindow(0).save(u"%1/%2-%3-screen.png"_s.arg(folder, tag, name)));
            const QStringList problems = layoutProblems(shown) + cutRows(shown);
            QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u"; "_s)));
            shown->hide();
        }
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
