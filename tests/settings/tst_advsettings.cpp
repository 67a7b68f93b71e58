#include "support/WindowTestEnvironment.h"

#include "settings/SettingsWindow.h"
#include "settings/advSettings.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMetaProperty>

using namespace lexiglow;
using namespace Qt::StringLiterals;

namespace {

// The stored controls other than the caption, in this order in every list below.
const QStringList keys{u"Text1"_s, u"Text2"_s, u"Text3"_s, u"Combo1"_s, u"Check1"_s, u"Check2"_s, u"Combo2"_s};
const QStringList initial{u"8"_s, u"32"_s, u"10"_s, u"Upper and Lower Case"_s, u"0"_s, u"0"_s, u"30 seconds"_s};
const QStringList stored{u"9"_s, u"30"_s, u"12"_s, u"Lower Case Only"_s, u"1"_s, u"0"_s, u"Never"_s};
// What edit() makes of the initial values.
const QStringList edited{u"6"_s, u"20"_s, u"4"_s, u"Upper Case Only"_s, u"1"_s, u"1"_s, u"300 seconds"_s};

} // namespace

class TestAdvSettings final : public QObject
{
    Q_OBJECT

    std::optional<WindowTestEnvironment> m_env;
    std::optional<SettingsWindow> m_window;

    advSettings &dialog() { return m_window->dialog(); }

    // The values the controls show: the text of a field or list, whether a box is ticked.
    QStringList shown()
    {
        QStringList result;
        for (const QString &key : keys) {
            const QWidget *control = dialog().findChild<QWidget *>(key);
            const QVariant value = control->metaObject()->userProperty().read(control);
            result.append(value.typeId() == QMetaType::Bool ? QString::number(value.toBool()) : value.toString());
        }
        return result;
    }

    // Types the edited values, picks the edited list entries and toggles both ticks.
    void edit()
    {
        for (qsizetype i = 0; i < keys.size(); ++i) {
            QWidget *control = dialog().findChild<QWidget *>(keys[i]);
            if (auto *box = qobject_cast<QLineEdit *>(control))
                box->clear(), QTest::keyClicks(box, edited[i]);
            else if (auto *list = qobject_cast<QComboBox *>(control))
                list->setCurrentText(edited[i]);
            else
                QTest::keyClick(control, Qt::Key_Space);
        }
    }

private slots:
    void init()
    {
        m_window.reset();
        m_env.emplace();
        m_window.emplace(m_env->store, m_env->notice, nullptr);
    }

    // That Ok and Enter in a box store is shown by the main window's keyboard test and the suggestions' Modify Settings.
    void firstTouch_showsStoredOrInitialValues_leavingWithoutOkStoresNothing_data()
    {
        QTest::addColumn<QStringList>("inStore"); // empty: nothing stored
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QString>("leaveBy");
        QTest::addColumn<QStringList>("next");
        QTest::addRow("Cancel takes the stored values back") << stored << stored << u"Cancel"_s << stored;
        QTest::addRow("Cancel with nothing stored keeps the edits") << QStringList() << initial << u"Cancel"_s << edited;
        QTest::addRow("Esc acts as Cancel") << stored << stored << u"Esc"_s << stored;
        QTest::addRow("the close box loses the edits to the initial values") << QStringList() << initial << u"close box"_s << initial;
    }

    void firstTouch_showsStoredOrInitialValues_leavingWithoutOkStoresNothing()
    {
        QFETCH(QStringList, inStore);
        QFETCH(QStringList, first);
        QFETCH(QString, leaveBy);
        QFETCH(QStringList, next);
        for (qsizetype i = 0; i < inStore.size(); ++i)
            m_env->store.values.insert({u"Values"_s, keys[i]}, inStore[i]);
        QVERIFY(!m_window->exists());
        m_window->currentSettings();
        QVERIFY(m_window->exists() && !dialog().isVisible());
        QCOMPARE(shown(), first);
        advSettings *window = &dialog();
        window->show();
        edit();
        if (leaveBy == u"Cancel"_s)
            modal::click(window, u"Command1"_s);
        else if (leaveBy == u"Esc"_s)
            QTest::keyClick(window, Qt::Key_Escape);
        else
            window->close();
        QVERIFY(!window->isVisible());
        // The next use: the same dialog, or after the close box a new one.
        QCOMPARE(shown(), next);
        // A fresh start, new windows over the same store, shows what was stored.
        m_window.emplace(m_env->store, m_env->notice, nullptr);
        QCOMPARE(shown(), first);
    }

    // Each value a batch would refuse or run with to no purpose keeps the dialog open, told by name.
    void ok_withAValueABatchCannotUse_staysOpen_namesAndFocusesTheField_storesNothing_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("told"); // before "Nothing was saved"; the field gets the focus
        QTest::addRow("a count below 1") << u"Text3"_s << u"0.5"_s << u"Passwords to Generate must be 1 or more, not 0.5."_s;
        QTest::addRow("a count over 100,000") << u"Text3"_s << u"99999999"_s << u"Passwords to Generate can be at most 100000."_s;
        QTest::addRow("a strength not a number") << u"Text4"_s << u"lots"_s << u"Minimum Strength is not a number: \"lots\"."_s;
        QTest::addRow("a minimum over the maximum") << u"Text1"_s << u"40"_s
                                                  << u"Minimum Password Length, 40, is more than the Maximum Password Length."_s;
        // The field wrong in itself first, then what follows from it.
        QTest::addRow("a negative maximum") << u"Text2"_s << u"-5"_s
                                          << u"Maximum Password Length must be 1 or more, not -5.\nMinimum Password Length, 8, is more "
                                             "than the Maximum Password Length."_s;
    }

    void ok_withAValueABatchCannotUse_staysOpen_namesAndFocusesTheField_storesNothing()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, told);
        dialog().show();
        dialog().findChild<QLineEdit *>(field)->setText(text);
        modal::click(&dialog(), u"Command2"_s);
        QVERIFY(dialog().isVisible());
        QCOMPARE(m_env->notice.messages, QStringList(told + u"\n\nNothing was saved. Correct it and press Ok, or press Cancel."_s));
        QCOMPARE(dialog().focusWidget()->objectName(), field);
        QVERIFY(m_env->store.values.isEmpty());
    }
};

QTEST_MAIN(TestAdvSettings)
#include "tst_advsettings.moc"
