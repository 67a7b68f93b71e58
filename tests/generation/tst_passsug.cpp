#include "support/WindowTestEnvironment.h"

#include "generation/SuggestionText.h"
#include "generation/passSug.h"
#include "platform/SecretMimeData.h"
#include "settings/SettingsWindow.h"
#include "settings/advSettings.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextBlock>
#include <QThread>

#include <atomic>

using namespace lexiglow;
using namespace Qt::StringLiterals;

namespace {

// What twoPasswordDraws make of the fruit list; a batch after the first
// starts with the second.
const QString first = u"applemoon1"_s;
const QString second = u"50moonapple"_s;

// A strength model that waits, on the worker, until the test lets it go on or the window asks it to stop;
// or, if neither comes, gives up after half a minute.
struct Gate
{
    ModelMaker maker()
    {
        return [this](const WordPool &pool, const PasswordRules &rules, std::stop_token stop) {
            ++entered;
            for (int waited = 0; !open && !stop.stop_requested() && waited < 30000; ++waited)
                QThread::msleep(1);
            stopped += stop.stop_requested() ? 1 : 0;
            return makeStrengthModel(pool, rules, stop);
        };
    }
    std::atomic<bool> open = false;
    std::atomic<int> entered = 0, stopped = 0;
};

// Counts what a widget paints.
struct PaintCounter final : QObject
{
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
    int paints = 0;
};

} // namespace

class TestPassSug final : public QObject
{
    Q_OBJECT

    std::optional<WindowTestEnvironment> m_env;
    std::optional<SettingsWindow> m_settings;
    std::optional<SecretClipboard> m_clipboard;
    std::optional<passSug> m_window;
    QString m_fruit;

    SuggestionText *textBox() const { return m_window->findChild<SuggestionText *>(u"Text1"_s); }
    QString label(const QString &name) const { return m_window->findChild<QLabel *>(name)->text(); }
    bool busy() const { return !m_window->findChild<QWidget *>(u"busyIndicator"_s)->isHidden(); }
    // Clicks a button and waits for what it sets going.
    void click(const QString &button)
    {
        modal::click(&*m_window, button);
        QVERIFY(settle(&*m_window));
    }

private slots:
    void cleanup() { m_window.reset(), m_clipboard.reset(), m_settings.reset(); }

    // The window shows a first batch of three passwords from the fruit list.
    void init()
    {
        m_env.emplace();
        m_env->randomValues = twoPasswordDraws;
        m_env->store.values[{u"Values"_s, u"Text3"_s}] = u"3"_s;
        m_settings.emplace(m_env->store, m_env->notice, nullptr);
        m_clipboard.emplace(*m_env, [this] { return m_settings->clearDelay(); });
        m_window.emplace(*m_env, *m_settings, m_env->notice, *m_clipboard);
        m_fruit = m_env->writeList(u"fruit.lxg"_s, u"Fruit"_s, QString(), {u"apple"_s, u"moon"_s});
        m_window->buildlist({{true, u"file_1"_s}}, {QString(), m_fruit});
        m_window->generate();
        m_window->show();
        QVERIFY(settle(&*m_window));
        QGuiApplication::clipboard()->setText(u"another program's"_s);
    }

    void typingChangesNothing_newList_makesTheNextBatch_withItsStrength_floorOutOfReachMakesNone_close_resetsTheTextAndHides()
    {
        QCOMPARE(m_window->windowTitle(), u"Your Password Suggestions"_s);
        QCOMPARE(textBox()->toPlainText(), suggestionsText({first, second, first}));
        // In times first, at 10 guesses a second and 10 billion; the bits after.
        QVERIFY2(label(u"lblStrength"_s).contains(QRegularExpression(
                     u"^Weak: at 10 guesses a second \\(a login without a limit\\) an attacker who knows your lists and settings "
                     "needs [0-9]+ [a-z]+ on average; at 10 billion a second \\(a stolen, fast-hashed file\\), less than a second\\. "
                     "One in ten falls within [0-9,]+ guesses; [0-9.]+ bits, the likeliest password [0-9.]+\\.$"_s)),
                 qPrintable(label(u"lblStrength"_s)));
        QVERIFY2(label(u"lblAdvice"_s).startsWith(u"Stronger: "_s), qPrintable(label(u"lblAdvice"_s)));
        QCOMPARE(textBox()->marks(), std::vector<bool>({false, false, true, true, true})); // every one weak
        textBox()->setTextCursor(QTextCursor(textBox()->document()->findBlockByNumber(2)));
        QVERIFY(label(u"lblPasswordStrength"_s).startsWith(u"The password at the cursor: "_s));
        // Read-only: typing, deleting and pasting change no password.
        QTest::keyClicks(textBox(), u"typed"_s);
        QTest::keyClick(textBox(), Qt::Key_Backspace);
        QTest::keyClick(textBox(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(textBox()->toPlainText(), suggestionsText({first, second, first}));
        click(u"Command2"_s);
        QCOMPARE(textBox()->toPlainText(), suggestionsText({second, first, second}));
        QVERIFY(!textBox()->document()->isUndoAvailable()); // no undo brings the old batch back
        m_settings->dialog().findChild<QLineEdit *>(u"Text4"_s)->setText(u"99"_s);
        click(u"Command2"_s);
        QVERIFY(!textBox()->toPlainText().contains(first) && !textBox()->toPlainText().contains(second));
        QVERIFY(label(u"lblStrength"_s).contains(u"the highest Minimum Strength they can reach is "_s));
        click(u"Command1"_s);
        QVERIFY(!m_window->isVisible());
        QCOMPARE(textBox()->toPlainText(), u"Generating Your Suggestions..."_s);
    }

    // The strength is worked out on the worker: meanwhile the window paints and shows that it works. A new
    // request stops the one in hand, and a batch that a newer request has superseded never shows. The end of
    // the window, which the program's Close brings, stops a run in progress rather than wait for it: the
    // model here would wait half a minute.
    void slowStrength_windowPaintsAndShowsItWorks_newRequestsSupersede_endStopsTheRun()
    {
        Gate gate;
        m_window->setModelMaker(gate.maker());
        m_window->buildlist({{true, u"file_1"_s}}, {QString(), m_fruit});
        m_window->generate();
        QTRY_COMPARE(gate.entered.load(), 1);
        QVERIFY(busy());
        QCOMPARE(m_window->cursor().shape(), Qt::BusyCursor);
        QCOMPARE(label(u"lblStrength"_s), u"Making the passwords and working out how strong they are..."_s);
        PaintCounter painter;
        m_window->installEventFilter(&painter);
        m_window->update();
        QTRY_VERIFY(painter.paints > 0);

        QList<int> shown; // passwords in each text shown whole
        connect(textBox(), &SuggestionText::shown, this, [&] { shown << textBox()->blockCount() - 2; });
        modal::click(&*m_window, u"Command2"_s);
        QTRY_COMPARE(gate.entered.load(), 2);
        QCOMPARE(gate.stopped.load(), 1);
        gate.open = true;
        QVERIFY(settle(&*m_window));
        QCOMPARE(shown, QList<int>({0, 3})); // the heading, then the second request's batch
        // Four passwords asked for, done on the worker, then two before the window heard of the four.
        for (const QString &passwords : {u"4"_s, u"2"_s}) {
            m_settings->dialog().findChild<QLineEdit *>(u"Text3"_s)->setText(passwords);
            m_window->generate();
            QThread::msleep(50);
        }
        QVERIFY(settle(&*m_window));
        QVERIFY2(!shown.contains(4) && shown.last() == 2, qPrintable(QString::number(shown.last())));
        QVERIFY(!busy() && m_window->cursor().shape() != Qt::BusyCursor);

        // New rules, so a new model.
        gate.open = false;
        const int entered = gate.entered;
        m_settings->dialog().findChild<QCheckBox *>(u"Check2"_s)->setChecked(true);
        m_window->generate();
        QTRY_COMPARE(gate.entered.load(), entered + 1);
        m_window.reset();
        QCOMPARE(gate.stopped.load(), 2);
    }

    void newList_underASettingABatchCannotUse_saysWhichAndMakesNone_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("told");
        const QString change = u"\nChange it in Advanced Settings."_s;
        QTest::addRow("minimum") << u"Text1"_s << u"eight"_s << u"Minimum Password Length is not a number: \"eight\"."_s + change;
        QTest::addRow("count") << u"Text3"_s << u"1e3"_s << u"Passwords to Generate is not a number: \"1e3\"."_s + change;
        QTest::addRow("too many") << u"Text3"_s << u"100001"_s << u"Passwords to Generate can be at most 100000."_s + change;
    }

    void newList_underASettingABatchCannotUse_saysWhichAndMakesNone()
    {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(QString, told);
        m_settings->dialog().findChild<QLineEdit *>(control)->setText(text);
        m_env->notice.messages.clear();
        click(u"Command2"_s);
        QCOMPARE(m_env->notice.messages, QStringList{told});
        QCOMPARE(textBox()->toPlainText(), u"Generating Your Suggestions...\n"_s);
    }

    void modifySettings_opensTheDialogOverTheWindow_andMakesANewBatch_data()
    {
        QTest::addColumn<QString>("leaveBy"); // a button, or nothing for the close box
        QTest::addColumn<QStringList>("batch");
        QTest::addRow("Cancel: the stored count") << u"Command1"_s << QStringList({second, first, second});
        QTest::addRow("close box: the stored count") << QString() << QStringList({second, first, second});
        QTest::addRow("Ok: the count typed") << u"Command2"_s << QStringList({second, first, second, first, second});
    }

    void modifySettings_opensTheDialogOverTheWindow_andMakesANewBatch()
    {
        QFETCH(QString, leaveBy);
        QFETCH(QStringList, batch);
        QVERIFY(modal::drive([this] { click(u"Command3"_s); }, [this, &leaveBy](QWidget *dialog) {
            QCOMPARE(dialog->objectName(), u"advSettings"_s);
            QCOMPARE(dialog->parentWidget(), &*m_window);
            auto *count = dialog->findChild<QLineEdit *>(u"Text3"_s);
            count->clear();
            QTest::keyClicks(count, u"5"_s);
            leaveBy.isEmpty() ? void(dialog->close()) : modal::click(dialog, leaveBy);
        }));
        QVERIFY(settle(&*m_window));
        QCOMPARE(textBox()->toPlainText(), suggestionsText(batch));
    }

    void copy_takesOnePassword_untilTheDelayOrQuitting_ifStillThere_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("copied"); // null: nothing copied
        QTest::addColumn<QString>("delay");
        QTest::addColumn<QString>("then"); // "", or what happens once copied
        QTest::addColumn<QString>("left");
        // With letter replacement the second batch is "50moon@ppl3", "@ppl3moon1", "50moon@ppl3".
        const QString click = u"double click"_s, ctrlC = u"Ctrl+C"_s, s30 = u"30 seconds"_s, theirs = u"another program's"_s;
        QTest::addRow("a double click, for 60 s") << click << 2 << u"50moon@ppl3"_s << u"60 seconds"_s << u"runs out"_s << QString();
        QTest::addRow("Ctrl+C on the line; another program copies since")
            << ctrlC << 3 << u"@ppl3moon1"_s << s30 << u"another program copies"_s << u"mine"_s;
        QTest::addRow("the menu's Copy Password, never cleared but on quitting")
            << u"menu"_s << 4 << u"50moon@ppl3"_s << u"Never"_s << u"quit"_s << QString();
        QTest::addRow("a hand selection, for 30 s") << u"selection"_s << 3 << u"@ppl3"_s << s30 << u"runs out"_s << QString();
        QTest::addRow("a double click on the heading") << click << 0 << QString() << s30 << QString() << theirs;
        QTest::addRow("Ctrl+C on the blank line") << ctrlC << 1 << QString() << s30 << QString() << theirs;
    }

    void copy_takesOnePassword_untilTheDelayOrQuitting_ifStillThere()
    {
        QFETCH(QString, gesture);
        QFETCH(int, line);
        QFETCH(QString, copied);
        QFETCH(QString, delay);
        QFETCH(QString, then);
        QFETCH(QString, left);
        m_settings->dialog().findChild<QCheckBox *>(u"Check1"_s)->setChecked(true);
        m_settings->dialog().findChild<QComboBox *>(u"Combo2"_s)->setCurrentText(delay);
        click(u"Command2"_s);
        QTextCursor cursor(textBox()->document()->findBlockByNumber(line));
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, gesture == u"selection"_s ? 5 : 0);
        textBox()->setTextCursor(cursor);
        const QPoint at = textBox()->cursorRect(cursor).center();
        const int room = textBox()->height();
        if (gesture == u"double click"_s) {
            QTest::mouseDClick(textBox()->viewport(), Qt::LeftButton, {}, at);
        } else if (gesture == u"menu"_s) {
            QContextMenuEvent event(QContextMenuEvent::Mouse, at, textBox()->viewport()->mapToGlobal(at));
            QApplication::sendEvent(textBox()->viewport(), &event);
            textBox()->findChild<QAction *>(u"copyPassword"_s)->trigger();
            QApplication::activePopupWidget()->close();
        } else {
            QTest::keyClick(textBox(), Qt::Key_C, Qt::ControlModifier);
        }
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(data->text(), copied.isNull() ? left : copied);
        QCOMPARE(data->data(u"x-kde-passwordManagerHint"_s), copied.isNull() ? QByteArray() : "secret");
        const int seconds = copied.isNull() ? 0 : delay.split(u' ')[0].toInt(); // "Never": 0
        const QString copiedFor = seconds ? u"The clipboard is cleared in %1 s."_s.arg(seconds)
                                          : u"It stays on the clipboard until Lexiglow closes."_s;
        const bool gestureCopied = !copied.isNull() && gesture != u"selection"_s;
        QCOMPARE(label(u"lblStatus"_s), gestureCopied ? u"Password copied. "_s + copiedFor : QString());
        // The window grew for the lines under the passwords; they kept their room.
        QTRY_COMPARE(textBox()->height(), room);
        QCOMPARE(m_env->clearDelay.count(), seconds * 1000);
        if (then == u"another program copies"_s)
            QGuiApplication::clipboard()->setText(u"mine"_s);
        if (then == u"quit"_s)
            QVERIFY(QMetaObject::invokeMethod(qApp, "aboutToQuit"));
        else if (!then.isEmpty())
            m_env->runOut();
        QCOMPARE(QGuiApplication::clipboard()->text(), left);
        if (then == u"runs out"_s)
            QCOMPARE(label(u"lblStatus"_s), u"The clipboard no longer holds the password."_s);
    }

    void secretMimeData_carriesEachDesktopsHints_data()
    {
        QTest::addColumn<int>("desktop");
        QTest::addColumn<QStringList>("hints"); // format=data in hexadecimal
        const QString windows = u"application/x-qt-windows-mime;value=\"%1\"=%2"_s;
        QTest::addRow("Linux and BSD") << int(Desktop::freedesktop) << QStringList({u"x-kde-passwordManagerHint=736563726574"_s});
        QTest::addRow("Windows") << int(Desktop::windows)
                                 << QStringList({windows.arg(u"ExcludeClipboardContentFromMonitorProcessing"_s, u"01000000"_s),
                                                 windows.arg(u"CanIncludeInClipboardHistory"_s, u"00000000"_s),
                                                 windows.arg(u"CanUploadToCloudClipboard"_s, u"00000000"_s)});
        QTest::addRow("macOS") << int(Desktop::macos) << QStringList({u"application/x-nspasteboard-concealed-type=4070706c33"_s});
    }

    void secretMimeData_carriesEachDesktopsHints()
    {
        QFETCH(int, desktop);
        QFETCH(QStringList, hints);
        const SecretMimeData data(u"@ppl3"_s, Desktop(desktop));
        QStringList seen{data.text()};
        for (const QString &format : data.formats())
            seen << format + u'=' + QString::fromLatin1(data.data(format).toHex());
        QCOMPARE(seen, QStringList({u"@ppl3"_s, u"text/plain=4070706c33"_s}) + hints);
    }
};

QTEST_MAIN(TestPassSug)
#include "tst_passsug.moc"
