#include "support/WindowTestEnvironment.h"

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
#include <QTextBlock>

using namespace lexiglow;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// What twoPasswordDraws make of the fruit list; a batch after the first
// starts with the second.
const QString first = u"applemoon1"_s;
const QString second = u"50moonapple"_s;
const QString copiedIn30s = u"Password copied. The clipboard is cleared in 30 s."_s;

} // namespace

class TestPassSug final : public QObject
{
    Q_OBJECT

    std::optional<WindowTestEnvironment> m_env;
    std::optional<SettingsWindow> m_settings;
    std::optional<SecretClipboard> m_clipboard;
    std::optional<passSug> m_window;

    QPlainTextEdit *textBox() const { return m_window->findChild<QPlainTextEdit *>(u"Text1"_s); }
    QString status() const { return m_window->findChild<QLabel *>(u"lblStatus"_s)->text(); }
    QString clipboardText() const { return QGuiApplication::clipboard()->text(); }
    void click(const QString &button) { modal::click(&*m_window, button); }

    // Copies the password on that line of the text box: a double click on it.
    void doubleClick(int line)
    {
        const QTextCursor cursor(textBox()->document()->findBlockByNumber(line));
        QTest::mouseDClick(textBox()->viewport(), Qt::LeftButton, {}, textBox()->cursorRect(cursor).center());
    }

private slots:
    // The window shows a first batch of three passwords from the fruit list.
    void init()
    {
        m_window.reset();
        m_clipboard.reset();
        m_settings.reset();
        m_env.emplace();
        m_env->random.values = twoPasswordDraws;
        m_env->store.values[{u"Values"_s, u"Text3"_s}] = u"3"_s;
        const QString fruit = m_env->writeList(u"fruit.lxg"_s, u"Fruit"_s, QString(), {u"apple"_s, u"moon"_s});
        m_settings.emplace(m_env->store, m_env->notice, nullptr);
        m_clipboard.emplace(m_env->clearTimer, [this] { return m_settings->clearDelay(); });
        m_window.emplace(m_env->random, *m_settings, m_env->notice, *m_clipboard);
        QGuiApplication::clipboard()->setText(u"another program's"_s);
        m_window->buildlist({{true, u"file_1"_s}}, {QString(), fruit});
        m_window->generate();
        m_window->show();
    }

    void newList_makesTheNextBatch_close_resetsTheTextAndHides()
    {
        QCOMPARE(m_window->windowTitle(), u"Your Password Suggestions"_s);
        QCOMPARE(textBox()->toPlainText(), suggestionsText({first, second, first}));
        QTest::keyClicks(textBox(), u"typed"_s);
        click(u"Command2"_s);
        QCOMPARE(textBox()->toPlainText(), suggestionsText({second, first, second}));
        // No undo brings the old batch back.
        QVERIFY(!textBox()->document()->isUndoAvailable());
        // However small the user makes it, the window keeps room for its controls.
        m_window->resize(1, 1);
        QVERIFY(m_window->height() > textBox()->height() * 5 / 4 && m_window->width() > textBox()->width());
        click(u"Command1"_s);
        QVERIFY(!m_window->isVisible());
        QCOMPARE(textBox()->toPlainText(), u"Generating Your Suggestions..."_s);
    }

    void modifySettings_makesANewBatch_data()
    {
        QTest::addColumn<QString>("leaveBy"); // a button, or nothing for the close box
        QTest::addColumn<QStringList>("batch");
        QTest::addRow("Cancel: the stored count") << u"Command1"_s << QStringList({second, first, second});
        QTest::addRow("close box: the stored count") << QString() << QStringList({second, first, second});
        QTest::addRow("Ok: the count typed") << u"Command2"_s << QStringList({second, first, second, first, second});
    }

    void modifySettings_makesANewBatch()
    {
        QFETCH(QString, leaveBy);
        QFETCH(QStringList, batch);
        QVERIFY(modal::drive([this] { click(u"Command3"_s); }, [this, &leaveBy](QWidget *dialog) {
            QCOMPARE(dialog->objectName(), u"advSettings"_s);
            QCOMPARE(dialog->parentWidget(), &*m_window);
            auto *count = dialog->findChild<QLineEdit *>(u"Text3"_s);
            count->clear();
            QTest::keyClicks(count, u"5"_s);
            if (leaveBy.isEmpty())
                dialog->close();
            else
                modal::click(dialog, leaveBy);
        }));
        QCOMPARE(textBox()->toPlainText(), suggestionsText(batch));
    }

    void copyGestures_copyExactlyOnePasswordMarkedSecret_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("copied"); // null: nothing copied
        // With letter replacement the second batch is "50moon@ppl3", "@ppl3moon1", "50moon@ppl3".
        QTest::addRow("double click on a password") << u"double click"_s << 2 << u"50moon@ppl3"_s;
        QTest::addRow("Ctrl+C on a password's line") << u"Ctrl+C"_s << 3 << u"@ppl3moon1"_s;
        QTest::addRow("the menu's Copy Password") << u"menu"_s << 4 << u"50moon@ppl3"_s;
        QTest::addRow("a hand selection") << u"selection"_s << 3 << u"@ppl3"_s;
        QTest::addRow("double click on the heading") << u"double click"_s << 0 << QString();
        QTest::addRow("Ctrl+C on the blank line") << u"Ctrl+C"_s << 1 << QString();
    }

    void copyGestures_copyExactlyOnePasswordMarkedSecret()
    {
        QFETCH(QString, gesture);
        QFETCH(int, line);
        QFETCH(QString, copied);
        m_settings->dialog().findChild<QCheckBox *>(u"Check1"_s)->setChecked(true);
        click(u"Command2"_s);
        QTextCursor cursor(textBox()->document()->findBlockByNumber(line));
        if (gesture == u"selection"_s)
            cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, 5);
        textBox()->setTextCursor(cursor);
        const QPoint at = textBox()->cursorRect(cursor).center();
        if (gesture == u"double click"_s) {
            doubleClick(line);
        } else if (gesture == u"menu"_s) {
            QContextMenuEvent event(QContextMenuEvent::Mouse, at, textBox()->viewport()->mapToGlobal(at));
            QApplication::sendEvent(textBox()->viewport(), &event);
            textBox()->findChild<QAction *>(u"copyPassword"_s)->trigger();
            QApplication::activePopupWidget()->close();
        } else {
            QTest::keyClick(textBox(), Qt::Key_C, Qt::ControlModifier);
        }
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(data->text(), copied.isNull() ? u"another program's"_s : copied);
        QCOMPARE(data->data(u"x-kde-passwordManagerHint"_s), copied.isNull() ? QByteArray() : "secret");
        QCOMPARE(status(), copied.isNull() || gesture == u"selection"_s ? QString() : copiedIn30s);
    }

    void secretMimeData_carriesEachDesktopsHints_data()
    {
        QTest::addColumn<int>("desktop");
        QTest::addColumn<QStringList>("hints"); // format, then the data in hexadecimal
        const QString windows = u"application/x-qt-windows-mime;value=\"%1\""_s;
        QTest::addRow("Linux and BSD") << int(Desktop::freedesktop)
                                       << QStringList({u"x-kde-passwordManagerHint"_s, u"736563726574"_s});
        QTest::addRow("Windows") << int(Desktop::windows)
                                 << QStringList({windows.arg(u"ExcludeClipboardContentFromMonitorProcessing"_s),
                                                 u"01000000"_s, windows.arg(u"CanIncludeInClipboardHistory"_s),
                                                 u"00000000"_s, windows.arg(u"CanUploadToCloudClipboard"_s), u"00000000"_s});
        QTest::addRow("macOS") << int(Desktop::macos)
                               << QStringList({u"application/x-nspasteboard-concealed-type"_s, u"4070706c33"_s});
    }

    void secretMimeData_carriesEachDesktopsHints()
    {
        QFETCH(int, desktop);
        QFETCH(QStringList, hints);
        const SecretMimeData data(u"@ppl3"_s, Desktop(desktop));
        QStringList seen;
        for (const QString &format : data.formats().mid(1))
            seen << format << QString::fromLatin1(data.data(format).toHex());
        QCOMPARE(data.formats().value(0), u"text/plain"_s);
        QCOMPARE(data.text(), u"@ppl3"_s);
        QCOMPARE(seen, hints);
    }

    void clipboard_isClearedOnlyWhileItStillHoldsThePassword_data()
    {
        QTest::addColumn<QString>("delay");
        QTest::addColumn<QString>("then");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("status");
        const QString gone = u"The clipboard no longer holds the password."_s;
        QTest::addRow("after the delay") << u"60 seconds"_s << u"runs out"_s << QString() << gone;
        QTest::addRow("not what another program copied since")
            << u"30 seconds"_s << u"another program copies"_s << u"mine"_s << gone;
        QTest::addRow("on quitting") << u"30 seconds"_s << u"quit"_s << QString() << copiedIn30s;
        QTest::addRow("never: until quitting")
            << u"Never"_s << u"quit"_s << QString() << u"Password copied. It stays on the clipboard until Lexiglow closes."_s;
    }

    void clipboard_isClearedOnlyWhileItStillHoldsThePassword()
    {
        QFETCH(QString, delay);
        QFETCH(QString, then);
        QFETCH(QString, left);
        QFETCH(QString, status);
        m_settings->dialog().findChild<QComboBox *>(u"Combo2"_s)->setCurrentText(delay);
        doubleClick(3);
        QCOMPARE(clipboardText(), second);
        QCOMPARE(bool(m_env->clearTimer.timeout), delay != u"Never"_s);
        if (m_env->clearTimer.timeout)
            QCOMPARE(m_env->clearTimer.delay, delay == u"60 seconds"_s ? 60s : 30s);
        if (then == u"quit"_s) {
            QVERIFY(QMetaObject::invokeMethod(qApp, "aboutToQuit"));
        } else {
            if (then == u"another program copies"_s)
                QGuiApplication::clipboard()->setText(u"mine"_s);
            m_env->clearTimer.runOut();
        }
        QCOMPARE(clipboardText(), left);
        QCOMPARE(this->status(), status);
    }

    void batch_endsWithTheRightNumberOfLines_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("lastLine");
        QTest::addRow("none: the heading and one line break") << u"0"_s << 2 << QString();
        QTest::addRow("the most a batch holds") << u"100000"_s << 100002 << first;
    }

    void batch_endsWithTheRightNumberOfLines()
    {
        QFETCH(QString, count);
        QFETCH(int, lines);
        QFETCH(QString, lastLine);
        m_settings->dialog().findChild<QLineEdit *>(u"Text3"_s)->setText(count);
        click(u"Command2"_s);
        const QTextDocument *text = textBox()->document();
        QCOMPARE(text->blockCount(), lines);
        QCOMPARE(text->firstBlock().text(), u"Generating Your Suggestions..."_s);
        QCOMPARE(text->lastBlock().text(), lastLine);
    }
};

QTEST_MAIN(TestPassSug)
#include "tst_passsug.moc"
