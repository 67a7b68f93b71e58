#include "support/ModalDriver.h"
#include "support/WindowTestEnvironment.h"

#include "generation/passSug.h"
#include "settings/SettingsWindow.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTest>

#include <memory>

using namespace lexiglow;
using namespace Qt::StringLiterals;

namespace {

// Two candidates, each within the initial limits of 8 to 32 characters:
// arrangement 2, apple, moon, both kept, number 1: "applemoon1";
// arrangement 3, moon, apple, both kept, number 50: "50moonapple".
const QList<double> twoCandidates{0.4, 0.34, 0.8, 0.0, 0.0, 0.9, 0.8, 0.34, 0.0, 0.5};
const QString first = u"applemoon1"_s;
const QString second = u"50moonapple"_s;
const QString heading = u"Generating Your Suggestions..."_s;

QString batch(const QStringList &passwords)
{
    return heading + u"\n\n"_s + passwords.join(u'\n');
}

} // namespace

class TestPassSug final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void controls();
    void tabOrder();
    void generate_writesHeadingBlankLineAndPasswords();
    void buildlist_takesOnlyTickedRows_andReseeds();
    void newList_continuesTheSequence();
    void passwordCountZero_leavesHeadingAndLineBreak();
    void close_resetsTextAndHides();
    void escape_actsAsClose();
    void closeBox_discardsWindow();
    void modifySettings_cancel_stillMakesNewBatch();
    void modifySettings_ok_changesLaterBatches();
    void modifySettings_closeBox_newBatchUnderRestoredSettings();
    void largeBatch_filledAtOnce();

private:
    QPlainTextEdit *text() const { return m_window->findChild<QPlainTextEdit *>(u"Text1"_s); }
    QPushButton *button(const QString &name) const { return m_window->findChild<QPushButton *>(name); }
    // Shows the window modally and runs step inside it.
    void showAnd(const std::function<void(QWidget *)> &step);
    // Answers the Advanced Settings dialog: sets Text3 to count, then clicks
    // the button named (or closes the dialog when it is empty).
    static void answerSettings(const QString &count, const QString &buttonName);

    std::unique_ptr<WindowTestEnvironment> m_env;
    std::unique_ptr<SettingsWindow> m_settings;
    std::unique_ptr<passSug> m_window;
    QString m_animals;
    QString m_fruit;
};

void TestPassSug::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestPassSug::init()
{
    m_env = std::make_unique<WindowTestEnvironment>();
    QVERIFY(m_env->folder.isValid());
    m_env->random.setValues(twoCandidates);
    m_animals = m_env->writeList(u"animals.lxg"_s, u"Animals"_s, QString(), {u"tiger"_s, u"lion"_s});
    m_fruit = m_env->writeList(u"fruit.lxg"_s, u"Fruit"_s, QString(), {u"apple"_s, u"moon"_s});
    m_settings = std::make_unique<SettingsWindow>(m_env->store, m_env->notice, nullptr);
    m_window = std::make_unique<passSug>(m_env->random, *m_settings, m_env->notice);
    m_window->buildlist({{false, u"file_1"_s}, {true, u"file_2"_s}}, {QString(), m_animals, m_fruit});
}

void TestPassSug::cleanup()
{
    m_window.reset();
    m_settings.reset();
}

void TestPassSug::showAnd(const std::function<void(QWidget *)> &step)
{
    const auto ran = modal::onNext(step);
    m_window->exec();
    QVERIFY(*ran);
}

void TestPassSug::answerSettings(const QString &count, const QString &buttonName)
{
    modal::onNext([count, buttonName](QWidget *dialog) {
        QCOMPARE(dialog->objectName(), u"advSettings"_s);
        dialog->findChild<QLineEdit *>(u"Text3"_s)->setText(count);
        if (buttonName.isEmpty())
            dialog->close();
        else
            QTest::mouseClick(dialog->findChild<QPushButton *>(buttonName), Qt::LeftButton);
    });
}

void TestPassSug::controls()
{
    QCOMPARE(m_window->windowTitle(), u"Your Password Suggestions"_s);
    QCOMPARE(text()->toPlainText(), u"Generating Your Suggestions ..."_s);
    QCOMPARE(button(u"Command1"_s)->text(), u"Close"_s);
    QCOMPARE(button(u"Command2"_s)->text(), u"New List"_s);
    QCOMPARE(button(u"Command3"_s)->text(), u"Modify Settings"_s);
    // Verdana 12 point where it is installed, a similar face elsewhere.
    QCOMPARE(text()->font().families().value(0), u"Verdana"_s);
    QCOMPARE(text()->font().pointSize(), 12);
    // An ordinary text box: the user selects and copies from it.
    QVERIFY(!text()->isReadOnly());
    QVERIFY(text()->textInteractionFlags() & Qt::TextSelectableByKeyboard);
    QCOMPARE(text()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

void TestPassSug::tabOrder()
{
    QStringList order{u"Text1"_s};
    QWidget *widget = text();
    for (int i = 0; i < 3; ++i) {
        do
            widget = widget->nextInFocusChain();
        while (widget->focusPolicy() == Qt::NoFocus);
        order.append(widget->objectName());
    }
    QCOMPARE(order, QStringList({u"Text1"_s, u"Command1"_s, u"Command2"_s, u"Command3"_s}));
}

void TestPassSug::generate_writesHeadingBlankLineAndPasswords()
{
    m_env->store.values[{u"Values"_s, u"Text3"_s}] = u"3"_s;
    m_window->generate();
    QCOMPARE(text()->toPlainText(), batch({first, second, first}));
    QVERIFY(m_env->notice.messages.isEmpty());
}

void TestPassSug::buildlist_takesOnlyTickedRows_andReseeds()
{
    QCOMPARE(m_env->random.reseeds, 1);
    // Both lists ticked: the pool holds the animals first, so the same draws
    // give other words.
    m_window->buildlist({{true, u"file_1"_s}, {true, u"file_2"_s}}, {QString(), m_animals, m_fruit});
    QCOMPARE(m_env->random.reseeds, 2);
    m_window->generate();
    QVERIFY(!text()->toPlainText().contains(first));
    // Only the fruit list ticked again.
    m_window->buildlist({{false, u"file_1"_s}, {true, u"file_2"_s}}, {QString(), m_animals, m_fruit});
    m_env->random.setValues(twoCandidates);
    m_window->generate();
    QCOMPARE(text()->toPlainText().split(u'\n').mid(2, 2), QStringList({first, second}));
}

void TestPassSug::newList_continuesTheSequence()
{
    m_env->store.values[{u"Values"_s, u"Text3"_s}] = u"3"_s;
    m_window->generate();
    showAnd([this](QWidget *) {
        QTest::mouseClick(button(u"Command2"_s), Qt::LeftButton);
        QCOMPARE(text()->toPlainText(), batch({second, first, second}));
        QVERIFY(m_window->isVisible());
        QTest::mouseClick(button(u"Command1"_s), Qt::LeftButton);
    });
    QCOMPARE(m_env->random.reseeds, 1);
}

void TestPassSug::passwordCountZero_leavesHeadingAndLineBreak()
{
    m_env->store.values[{u"Values"_s, u"Text3"_s}] = u"0"_s;
    m_window->generate();
    QCOMPARE(text()->toPlainText(), heading + u"\n"_s);
}

void TestPassSug::close_resetsTextAndHides()
{
    m_window->generate();
    showAnd([this](QWidget *window) {
        QTest::mouseClick(button(u"Command1"_s), Qt::LeftButton);
        QVERIFY(!window->isVisible());
    });
    QCOMPARE(text()->toPlainText(), heading);
}

void TestPassSug::escape_actsAsClose()
{
    m_window->generate();
    showAnd([this](QWidget *window) {
        QTest::keyClick(button(u"Command2"_s), Qt::Key_Escape);
        QVERIFY(!window->isVisible());
    });
    QCOMPARE(text()->toPlainText(), heading);
}

void TestPassSug::closeBox_discardsWindow()
{
    bool discarded = false;
    connect(m_window.get(), &passSug::discarded, this, [&discarded] { discarded = true; });
    m_window->generate();
    showAnd([](QWidget *window) { window->close(); });
    QVERIFY(discarded);
}

void TestPassSug::modifySettings_cancel_stillMakesNewBatch()
{
    m_env->store.values[{u"Values"_s, u"Text3"_s}] = u"3"_s;
    m_window->generate();
    QCOMPARE(text()->toPlainText(), batch({first, second, first}));
    showAnd([this](QWidget *) {
        answerSettings(u"5"_s, u"Command1"_s);
        QTest::mouseClick(button(u"Command3"_s), Qt::LeftButton);
        // The stored three, not the five typed before "Cancel".
        QCOMPARE(text()->toPlainText(), batch({second, first, second}));
        QTest::mouseClick(button(u"Command1"_s), Qt::LeftButton);
    });
}

void TestPassSug::modifySettings_ok_changesLaterBatches()
{
    m_window->generate();
    showAnd([this](QWidget *) {
        answerSettings(u"1"_s, u"Command2"_s);
        QTest::mouseClick(button(u"Command3"_s), Qt::LeftButton);
        QCOMPARE(text()->toPlainText().count(u'\n'), 2);
        QTest::mouseClick(button(u"Command2"_s), Qt::LeftButton);
        QCOMPARE(text()->toPlainText().count(u'\n'), 2);
        QTest::mouseClick(button(u"Command1"_s), Qt::LeftButton);
    });
    QCOMPARE(m_env->store.get(u"Values"_s, u"Text3"_s), u"1"_s);
}

void TestPassSug::modifySettings_closeBox_newBatchUnderRestoredSettings()
{
    m_env->store.values[{u"Values"_s, u"Text3"_s}] = u"2"_s;
    m_window->generate();
    showAnd([this](QWidget *) {
        answerSettings(u"6"_s, QString());
        QTest::mouseClick(button(u"Command3"_s), Qt::LeftButton);
        // The edit to six was lost with the dialog; the stored two hold.
        QCOMPARE(text()->toPlainText().count(u'\n'), 3);
        QTest::mouseClick(button(u"Command1"_s), Qt::LeftButton);
    });
}

void TestPassSug::largeBatch_filledAtOnce()
{
    m_env->store.values[{u"Values"_s, u"Text3"_s}] = u"100000"_s;
    QElapsedTimer clock;
    clock.start();
    m_window->generate();
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(text()->blockCount(), 100002);
    QCOMPARE(text()->document()->findBlockByNumber(100001).text(), second);
    qInfo("100,000 passwords into the suggestions window: %lld ms", elapsed);
}

QTEST_MAIN(TestPassSug)
#include "tst_passsug.moc"
