#include "support/WindowTestEnvironment.h"

#include "generation/passSug.h"
#include "settings/SettingsWindow.h"
#include "settings/advSettings.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>

using namespace lexiglow;
using namespace Qt::StringLiterals;

namespace {

// What twoPasswordDraws make of the fruit list; a batch after the first
// starts with the second.
const QString first = u"applemoon1"_s;
const QString second = u"50moonapple"_s;

} // namespace

class TestPassSug final : public QObject
{
    Q_OBJECT

    std::optional<WindowTestEnvironment> m_env;
    std::optional<SettingsWindow> m_settings;
    std::optional<passSug> m_window;

    QPlainTextEdit *textBox() const { return m_window->findChild<QPlainTextEdit *>(u"Text1"_s); }
    void click(const QString &button) { modal::click(&*m_window, button); }

private slots:
    // The window shows a first batch of three passwords from the fruit list.
    void init()
    {
        m_window.reset();
        m_settings.reset();
        m_env.emplace();
        m_env->random.values = twoPasswordDraws;
        m_env->store.values[{u"Values"_s, u"Text3"_s}] = u"3"_s;
        const QString fruit = m_env->writeList(u"fruit.lxg"_s, u"Fruit"_s, QString(), {u"apple"_s, u"moon"_s});
        m_settings.emplace(m_env->store, m_env->notice, nullptr);
        m_window.emplace(m_env->random, *m_settings, m_env->notice);
        m_window->buildlist({{true, u"file_1"_s}}, {QString(), fruit});
        m_window->generate();
        m_window->show();
    }

    void strength_showsWithEveryBatch_floorOutOfReachMakesNone()
    {
        const auto line = [this](const QString &name) { return m_window->findChild<QLabel *>(name)->text(); };
        QVERIFY2(line(u"lblStrength"_s).startsWith(u"Strength of these settings: "_s), qPrintable(line(u"lblStrength"_s)));
        QCOMPARE(textBox()->extraSelections().size(), 3); // every one weak
        textBox()->setTextCursor(QTextCursor(textBox()->document()->findBlockByNumber(2)));
        QVERIFY(line(u"lblPasswordStrength"_s).startsWith(u"The password at the cursor: "_s));
        m_settings->dialog().findChild<QLineEdit *>(u"Text4"_s)->setText(u"99"_s);
        click(u"Command2"_s);
        QVERIFY(!textBox()->toPlainText().contains(first) && !textBox()->toPlainText().contains(second));
        QVERIFY(line(u"lblStrength"_s).contains(u"the highest Minimum Strength they can reach is "_s));
    }

    void newList_makesTheNextBatch_close_resetsTheTextAndHides()
    {
        QCOMPARE(m_window->windowTitle(), u"Your Password Suggestions"_s);
        QCOMPARE(textBox()->toPlainText(), suggestionsText({first, second, first}));
        click(u"Command2"_s);
        QCOMPARE(textBox()->toPlainText(), suggestionsText({second, first, second}));
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
        QVERIFY(modal::drive([this] { click(u"Command3"_s); }, [&leaveBy](QWidget *dialog) {
            QCOMPARE(dialog->objectName(), u"advSettings"_s);
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
