#include "support/MemorySettingsStore.h"

#include "settings/StoredSettings.h"

#include <QTest>

using namespace lexiglow;
using namespace Qt::StringLiterals;

class TestStoredSettings final : public QObject
{
    Q_OBJECT

private slots:
    void restore_eachControlTakesWhatItAccepts_data();
    void restore_eachControlTakesWhatItAccepts();
    void store_writesAllSevenKeys_restoreKeepsWhatIsNotStored();
};

void TestStoredSettings::restore_eachControlTakesWhatItAccepts_data()
{
    QTest::addColumn<QString>("stored"); // key=text
    QTest::addColumn<QString>("after"); // before: Check1 0, Check2 1, Combo1 "Lower Case Only"

    QTest::addRow("caption, any text") << u"Frame2=Mine"_s << u"Mine"_s;
    QTest::addRow("text box, any text") << u"Text1=abc"_s << u"abc"_s;
    QTest::addRow("1 ticks") << u"Check1=1"_s << u"1"_s;
    QTest::addRow("1.0 is the number 1") << u"Check1=1.0"_s << u"1"_s;
    QTest::addRow("blanks around 0") << u"Check2= 0 "_s << u"0"_s;
    QTest::addRow("2 is no tick value") << u"Check2=2"_s << u"1"_s;
    QTest::addRow("0.5 is no tick value") << u"Check2=0.5"_s << u"1"_s;
    QTest::addRow("letters are no tick value") << u"Check1=yes"_s << u"0"_s;
    QTest::addRow("an item") << u"Combo1=Upper Case Only"_s << u"Upper Case Only"_s;
    QTest::addRow("item in other letter case") << u"Combo1=upper case only"_s << u"Lower Case Only"_s;
    QTest::addRow("item with a trailing blank") << u"Combo1=Upper and Lower Case "_s << u"Lower Case Only"_s;
    QTest::addRow("no item, empty") << u"Combo1="_s << u"Lower Case Only"_s;
}

void TestStoredSettings::restore_eachControlTakesWhatItAccepts()
{
    QFETCH(QString, stored);
    QFETCH(QString, after);
    const QString key = stored.section(u'=', 0, 0);
    MemorySettingsStore store;
    store.values[{u"Values"_s, key}] = stored.section(u'=', 1);
    StoredControls controls;
    controls.settings.letterCase = u"Lower Case Only"_s;
    controls.settings.specialCharacters = true;
    const StoredControls before = controls;

    storedSettings::restore(store, controls);

    for (const QString &other : storedSettings::keys()) {
        const QString expected = other == key ? after : storedSettings::principalText(before, other);
        QCOMPARE(storedSettings::principalText(controls, other), expected);
    }
}

void TestStoredSettings::store_writesAllSevenKeys_restoreKeepsWhatIsNotStored()
{
    MemorySettingsStore store;
    StoredControls controls;
    controls.frameCaption = u"Einstellungen"_s;
    controls.settings = {u"40"_s, u"six"_s, u"25"_s, u"Upper Case Only"_s, false, true}; // stored unvalidated
    const StoredControls edited = controls;
    storedSettings::restore(store, controls); // nothing stored yet
    QCOMPARE(controls, edited);

    QVERIFY(storedSettings::store(store, controls));
    QStringList written;
    for (auto it = store.values.cbegin(); it != store.values.cend(); ++it)
        written.append(it.key().first + u'/' + it.key().second + u'=' + it.value());
    QCOMPARE(written, (QStringList{u"Values/Check1=0"_s, u"Values/Check2=1"_s, u"Values/Combo1=Upper Case Only"_s,
                                   u"Values/Frame2=Einstellungen"_s, u"Values/Text1=40"_s, u"Values/Text2=six"_s,
                                   u"Values/Text3=25"_s}));
    QCOMPARE(store.flushes, 1);

    // A letter case with no item chosen becomes the first item, then takes the stored one.
    StoredControls restored;
    restored.settings.letterCase.clear();
    storedSettings::restore(store, restored);
    QCOMPARE(restored, controls);
    store.values[{u"Values"_s, u"Combo1"_s}] = u"Title Case"_s;
    restored = StoredControls{.settings = {.letterCase = QString()}};
    storedSettings::restore(store, restored);
    QCOMPARE(restored.settings.letterCase, u"Upper and Lower Case"_s);

    store.writable = false;
    QVERIFY(!storedSettings::store(store, controls));
}

QTEST_GUILESS_MAIN(TestStoredSettings)
#include "tst_storedsettings.moc"
