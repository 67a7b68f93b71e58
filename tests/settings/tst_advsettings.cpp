#include "support/MemorySettingsStore.h"
#include "support/ModalDriver.h"
#include "support/RecordingNotice.h"

#include "settings/SettingsWindow.h"
#include "settings/advSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include <memory>

using namespace lexiglow;
using namespace Qt::StringLiterals;

namespace {

struct Controls
{
    explicit Controls(QWidget *dialog)
        : minimum(modal::find<QLineEdit>(dialog, u"Text1"_s))
        , maximum(modal::find<QLineEdit>(dialog, u"Text2"_s))
        , count(modal::find<QLineEdit>(dialog, u"Text3"_s))
        , letterCase(modal::find<QComboBox>(dialog, u"Combo1"_s))
        , replacement(modal::find<QCheckBox>(dialog, u"Check1"_s))
        , special(modal::find<QCheckBox>(dialog, u"Check2"_s))
        , ok(modal::find<QPushButton>(dialog, u"Command2"_s))
        , cancel(modal::find<QPushButton>(dialog, u"Command1"_s))
    {
    }

    bool complete() const { return minimum && maximum && count && letterCase && replacement && special && ok && cancel; }

    // Types new values the way a user would.
    void edit() const
    {
        minimum->clear();
        QTest::keyClicks(minimum, u"6"_s);
        maximum->clear();
        QTest::keyClicks(maximum, u"20"_s);
        count->clear();
        QTest::keyClicks(count, u"4"_s);
        letterCase->setCurrentText(u"Upper Case Only"_s);
        QTest::mouseClick(replacement, Qt::LeftButton, {}, QPoint(4, replacement->height() / 2));
        QTest::mouseClick(special, Qt::LeftButton, {}, QPoint(4, special->height() / 2));
    }

    QLineEdit *minimum;
    QLineEdit *maximum;
    QLineEdit *count;
    QComboBox *letterCase;
    QCheckBox *replacement;
    QCheckBox *special;
    QPushButton *ok;
    QPushButton *cancel;
};

const GenerationSettings edited{u"6"_s, u"20"_s, u"4"_s, u"Upper Case Only"_s, true, true};

} // namespace

class TestAdvSettings final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstTouch_createsUnseen_withInitialContent();
    void firstTouch_restoresStoredValues();
    void layout_captionsAndItems();
    void tabOrder();
    void ok_storesSevenKeysAndHides();
    void ok_storesWithoutValidation();
    void ok_unwritableStore_tellsUserAndKeepsValues();
    void cancel_withStoredValues_takesThemBack();
    void cancel_nothingStored_keepsEditsAndStoresNothing();
    void escape_actsAsCancel();
    void closeBox_discardsDialogAndEdits();
    void reopen_afterOk_keepsValuesWithoutReload();

private:
    // Opens the dialog and runs step inside it.
    void openAnd(const std::function<void(QWidget *)> &step);

    std::unique_ptr<MemorySettingsStore> m_store;
    std::unique_ptr<RecordingNotice> m_notice;
    std::unique_ptr<SettingsWindow> m_window;
};

void TestAdvSettings::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestAdvSettings::init()
{
    m_store = std::make_unique<MemorySettingsStore>();
    m_notice = std::make_unique<RecordingNotice>();
    m_window = std::make_unique<SettingsWindow>(*m_store, *m_notice, nullptr);
}

void TestAdvSettings::cleanup()
{
    m_window.reset();
}

void TestAdvSettings::openAnd(const std::function<void(QWidget *)> &step)
{
    const auto ran = modal::onNext(step);
    m_window->open();
    QVERIFY(*ran);
}

void TestAdvSettings::firstTouch_createsUnseen_withInitialContent()
{
    QVERIFY(!m_window->exists());
    QCOMPARE(m_window->currentSettings(), GenerationSettings());
    QVERIFY(m_window->exists());
    QVERIFY(!m_window->dialog().isVisible());
    const Controls controls(&m_window->dialog());
    QCOMPARE(controls.letterCase->currentText(), u"Upper and Lower Case"_s);
    QCOMPARE(m_store->writes, 0);
}

void TestAdvSettings::firstTouch_restoresStoredValues()
{
    m_store->values = {{{u"Values"_s, u"Text1"_s}, u"5"_s},
                       {{u"Values"_s, u"Combo1"_s}, u"Lower Case Only"_s},
                       {{u"Values"_s, u"Check2"_s}, u"1"_s},
                       {{u"Values"_s, u"Frame2"_s}, u"Stored caption"_s}};
    const GenerationSettings settings = m_window->currentSettings();
    QCOMPARE(settings.minimumLength, u"5"_s);
    QCOMPARE(settings.maximumLength, u"32"_s);
    QCOMPARE(settings.letterCase, u"Lower Case Only"_s);
    QVERIFY(settings.specialCharacters);
    QVERIFY(!settings.letterReplacement);
    QCOMPARE(m_window->dialog().findChild<QGroupBox *>(u"Frame2"_s)->title(), u"Stored caption"_s);
}

void TestAdvSettings::layout_captionsAndItems()
{
    advSettings &dialog = m_window->dialog();
    QCOMPARE(dialog.windowTitle(), u"Advanced Settings"_s);
    const Controls controls(&dialog);
    QVERIFY(controls.complete());
    QCOMPARE(controls.ok->text(), u"Ok"_s);
    QCOMPARE(controls.cancel->text(), u"Cancel"_s);
    QCOMPARE(controls.special->text(), u"Use Special Characters ( #,$,%,etc.)"_s);
    QCOMPARE(controls.replacement->text(), u"Use Letter Replacement For More Security"_s);
    QVERIFY(!controls.letterCase->isEditable());
    QCOMPARE(controls.letterCase->count(), 3);
    QCOMPARE(controls.letterCase->itemText(2), u"Upper Case Only"_s);
    QVERIFY(!(dialog.windowFlags() & Qt::WindowMinMaxButtonsHint));
    QVERIFY(dialog.windowFlags() & Qt::WindowCloseButtonHint);
}

void TestAdvSettings::tabOrder()
{
    advSettings &dialog = m_window->dialog();
    const QStringList expected{u"Check1"_s, u"Check2"_s, u"Text1"_s,    u"Text2"_s,
                               u"Text3"_s,  u"Combo1"_s, u"Command1"_s, u"Command2"_s};
    QWidget *widget = dialog.findChild<QWidget *>(expected.first());
    QStringList order{widget->objectName()};
    for (qsizetype i = 1; i < expected.size(); ++i) {
        do
            widget = widget->nextInFocusChain();
        while (widget->focusPolicy() == Qt::NoFocus);
        order.append(widget->objectName());
    }
    QCOMPARE(order, expected);
}

void TestAdvSettings::ok_storesSevenKeysAndHides()
{
    openAnd([](QWidget *dialog) {
        const Controls controls(dialog);
        QVERIFY(controls.complete());
        controls.edit();
        QTest::mouseClick(controls.ok, Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
    });
    QVERIFY(m_window->exists());
    QCOMPARE(m_window->currentSettings(), edited);
    QCOMPARE(m_store->values.size(), 7);
    QCOMPARE(m_store->get(u"Values"_s, u"Frame2"_s), u"Advanced Settings"_s);
    QCOMPARE(m_store->get(u"Values"_s, u"Combo1"_s), u"Upper Case Only"_s);
    QCOMPARE(m_store->get(u"Values"_s, u"Text1"_s), u"6"_s);
    QCOMPARE(m_store->get(u"Values"_s, u"Text2"_s), u"20"_s);
    QCOMPARE(m_store->get(u"Values"_s, u"Text3"_s), u"4"_s);
    QCOMPARE(m_store->get(u"Values"_s, u"Check1"_s), u"1"_s);
    QCOMPARE(m_store->get(u"Values"_s, u"Check2"_s), u"1"_s);
    QVERIFY(m_notice->messages.isEmpty());
}

void TestAdvSettings::ok_storesWithoutValidation()
{
    openAnd([](QWidget *dialog) {
        const Controls controls(dialog);
        controls.minimum->setText(u"forty"_s);
        controls.count->setText(QString());
        QTest::mouseClick(controls.ok, Qt::LeftButton);
    });
    QCOMPARE(m_store->get(u"Values"_s, u"Text1"_s), u"forty"_s);
    QCOMPARE(m_store->get(u"Values"_s, u"Text3"_s), QString());
    QVERIFY(m_notice->messages.isEmpty());
}

void TestAdvSettings::ok_unwritableStore_tellsUserAndKeepsValues()
{
    m_store->writable = false;
    openAnd([](QWidget *dialog) {
        const Controls controls(dialog);
        controls.edit();
        QTest::mouseClick(controls.ok, Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
    });
    QCOMPARE(m_notice->messages.size(), 1);
    QVERIFY(m_notice->messages.first().contains(u"could not be saved"_s));
    QCOMPARE(m_window->currentSettings(), edited);
}

void TestAdvSettings::cancel_withStoredValues_takesThemBack()
{
    m_store->values = {{{u"Values"_s, u"Text1"_s}, u"9"_s},       {{u"Values"_s, u"Text2"_s}, u"30"_s},
                       {{u"Values"_s, u"Text3"_s}, u"12"_s},      {{u"Values"_s, u"Combo1"_s}, u"Lower Case Only"_s},
                       {{u"Values"_s, u"Check1"_s}, u"0"_s},      {{u"Values"_s, u"Check2"_s}, u"0"_s},
                       {{u"Values"_s, u"Frame2"_s}, u"Advanced Settings"_s}};
    const GenerationSettings stored{u"9"_s, u"30"_s, u"12"_s, u"Lower Case Only"_s, false, false};
    QCOMPARE(m_window->currentSettings(), stored);
    openAnd([](QWidget *dialog) {
        const Controls controls(dialog);
        controls.edit();
        QTest::mouseClick(controls.cancel, Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
    });
    QCOMPARE(m_window->currentSettings(), stored);
    QCOMPARE(m_store->writes, 0);
}

void TestAdvSettings::cancel_nothingStored_keepsEditsAndStoresNothing()
{
    openAnd([](QWidget *dialog) {
        const Controls controls(dialog);
        controls.edit();
        QTest::mouseClick(controls.cancel, Qt::LeftButton);
    });
    QCOMPARE(m_window->currentSettings(), edited);
    QVERIFY(m_store->values.isEmpty());
}

void TestAdvSettings::escape_actsAsCancel()
{
    m_store->values = {{{u"Values"_s, u"Text3"_s}, u"7"_s}};
    openAnd([](QWidget *dialog) {
        const Controls controls(dialog);
        controls.count->setText(u"99"_s);
        QTest::keyClick(controls.count, Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
    });
    QVERIFY(m_window->exists());
    QCOMPARE(m_window->currentSettings().passwordCount, u"7"_s);
}

void TestAdvSettings::closeBox_discardsDialogAndEdits()
{
    QPointer<advSettings> first = &m_window->dialog();
    openAnd([](QWidget *dialog) {
        const Controls controls(dialog);
        controls.edit();
        dialog->close(); // what the close box does
    });
    // Forgotten at once, so nothing reads the lost edits...
    QVERIFY(!m_window->exists());
    QCOMPARE(m_window->currentSettings(), GenerationSettings());
    QVERIFY(m_window->exists());
    QVERIFY(&m_window->dialog() != first.data());
    // ...and destroyed once the event loop runs.
    QTRY_VERIFY(first.isNull());
    QVERIFY(m_store->values.isEmpty());
}

void TestAdvSettings::reopen_afterOk_keepsValuesWithoutReload()
{
    openAnd([](QWidget *dialog) {
        const Controls controls(dialog);
        controls.edit();
        QTest::mouseClick(controls.ok, Qt::LeftButton);
    });
    // Changed behind the dialog's back: an open that only shows the dialog
    // does not read the store again.
    m_store->values[{u"Values"_s, u"Text3"_s}] = u"50"_s;
    openAnd([](QWidget *dialog) {
        const Controls controls(dialog);
        QCOMPARE(controls.count->text(), u"4"_s);
        QTest::mouseClick(controls.ok, Qt::LeftButton);
    });
    QCOMPARE(m_store->get(u"Values"_s, u"Text3"_s), u"4"_s);
}

QTEST_MAIN(TestAdvSettings)
#include "tst_advsettings.moc"
