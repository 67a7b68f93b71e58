#include "support/WindowTestEnvironment.h"

#include "settings/SettingsWindow.h"
#include "settings/advSettings.h"

#include <QCheckBox>
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

    // Types new values, picks another letter case and toggles both ticks.
    void edit()
    {
        for (int i = 0; i < 3; ++i) {
            auto *box = dialog().findChild<QLineEdit *>(keys[i]);
            box->clear();
            QTest::keyClicks(box, edited[i]);
        }
        dialog().findChild<QComboBox *>(u"Combo1"_s)->setCurrentText(u"Upper Case Only"_s);
        dialog().findChild<QComboBox *>(u"Combo2"_s)->setCurrentText(u"300 seconds"_s);
        QTest::keyClick(dialog().findChild<QCheckBox *>(u"Check1"_s), Qt::Key_Space);
        QTest::keyClick(dialog().findChild<QCheckBox *>(u"Check2"_s), Qt::Key_Space);
    }

private slots:
    void init()
    {
        m_window.reset();
        m_env.emplace();
        m_window.emplace(m_env->store, m_env->notice, nullptr);
    }

    void firstTouch_showsStoredOrInitialValues_andOnlyOkOrEnterStores_data()
    {
        QTest::addColumn<QStringList>("inStore"); // empty: nothing stored
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QString>("leaveBy");
        QTest::addColumn<QStringList>("next");
        QTest::addRow("Cancel takes the stored values back") << stored << stored << u"Cancel"_s << stored;
        QTest::addRow("Cancel with nothing stored keeps the edits") << QStringList() << initial << u"Cancel"_s << edited;
        QTest::addRow("Esc acts as Cancel") << stored << stored << u"Esc"_s << stored;
        QTest::addRow("Enter in a box acts as Ok") << QStringList() << initial << u"Enter"_s << edited;
        QTest::addRow("the close box loses the edits to the initial values") << QStringList() << initial << u"close box"_s << initial;
    }

    void firstTouch_showsStoredOrInitialValues_andOnlyOkOrEnterStores()
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
        else if (leaveBy == u"Enter"_s)
            QTest::keyClick(dialog().findChild<QLineEdit *>(u"Text1"_s), Qt::Key_Return);
        else if (leaveBy == u"Esc"_s)
            QTest::keyClick(window, Qt::Key_Escape);
        else
            window->close();
        QVERIFY(!window->isVisible());
        // The next use: the same dialog, or after the close box a new one.
        QCOMPARE(shown(), next);
        // A fresh start, new windows over the same store, shows what was stored.
        m_window.emplace(m_env->store, m_env->notice, nullptr);
        QCOMPARE(shown(), leaveBy == u"Enter"_s ? edited : first);
    }
};

QTEST_MAIN(TestAdvSettings)
#include "tst_advsettings.moc"
