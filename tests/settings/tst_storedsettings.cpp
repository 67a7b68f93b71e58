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
    void restore_nothingStored_keepsCurrentValues();
    void store_writesAllSevenKeys_readBackByRestore();
};

void TestStoredSettings::restore_eachControlTakesWhatItAccepts_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("after"); // before: Check1 0, Check2 1, Combo1 "Lower Case Only"

    QTest::addRow("caption, any text") << u"Frame2"_s << u"Mine"_s << u"Mine"_s;
    QTest::addRow("text box, any text") << u"Text1"_s << u"abc"_s << u"abc"_s;
    QTest::addRow("text box, empty") << u"Text3"_s << QString() << QString();
    QTest::addRow("1 ticks") << u"Check1"_s << u"1"_s << u"1"_s;
    QTest::addRow("1.0 is the number 1") << u"Check1"_s << u"1.0"_s << u"1"_s;
    QTest::addRow("blanks around 0") << u"Check2"_s << u" 0 "_s << u"0"_s;
    QTest::addRow("2 is no tick value") << u"Check2"_s << u"2"_s << u"1"_s;
    QTest::addRow("-1 is no tick value") << u"Check1"_s << u"-1"_s << u"0"_s;
    QTest::addRow("0.5 is no tick value") << u"Check2"_s << u"0.5"_s << u"1"_s;
    QTest::addRow("letters are no tick value") << u"Check1"_s << u"yes"_s << u"0"_s;
    QTest::addRow("empty is no tick value") << u"Check2"_s << QString() << u"1"_s;
    QTest::addRow("an item") << u"Combo1"_s << u"Upper Case Only"_s << u"Upper Case Only"_s;
    QTest::addRow("item in other letter case") << u"Combo1"_s << u"upper case only"_s << u"Lower Case Only"_s;
    QTest::addRow("item with a trailing blank") << u"Combo1"_s << u"Upper and Lower Case "_s << u"Lower Case Only"_s;
    QTest::addRow("no item, empty") << u"Combo1"_s << QString() << u"Lower Case Only"_s;
}

void TestStoredSettings::restore_eachControlTakesWhatItAccepts()
{
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(QString, after);
    MemorySettingsStore store;
    store.values[{u"Values"_s, key}] = stored;
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

void TestStoredSettings::restore_nothingStored_keepsCurrentValues()
{
    MemorySettingsStore store;
    StoredControls controls;
    controls.settings = {u"11"_s, u"12"_s, u"13"_s, u"Upper Case Only"_s, true, true};
    const StoredControls edited = controls;
    storedSettings::restore(store, controls);
    QCOMPARE(controls, edited);
    QCOMPARE(store.writes, 0);

    // A letter case with no item chosen becomes the first item, also when the stored text names none.
    controls.settings.letterCase.clear();
    store.values[{u"Values"_s, u"Combo1"_s}] = u"Title Case"_s;
    storedSettings::restore(store, controls);
    QCOMPARE(controls.settings.letterCase, u"Upper and Lower Case"_s);
}

void TestStoredSettings::store_writesAllSevenKeys_readBackByRestore()
{
    QCOMPARE(storedSettings::keys(),
             (QStringList{u"Frame2"_s, u"Combo1"_s, u"Text1"_s, u"Text2"_s, u"Text3"_s, u"Check1"_s, u"Check2"_s}));
    MemorySettingsStore store;
    StoredControls controls;
    controls.frameCaption = u"Einstellungen"_s;
    controls.settings = {u"40"_s, u"six"_s, u"25"_s, u"Upper Case Only"_s, false, true}; // stored unvalidated
    QVERIFY(storedSettings::store(store, controls));

    QStringList written;
    for (auto it = store.values.cbegin(); it != store.values.cend(); ++it)
        written.append(it.key().first + u'/' + it.key().second + u'=' + it.value());
    QCOMPARE(written, (QStringList{u"Values/Check1=0"_s, u"Values/Check2=1"_s, u"Values/Combo1=Upper Case Only"_s,
                                   u"Values/Frame2=Einstellungen"_s, u"Values/Text1=40"_s, u"Values/Text2=six"_s,
                                   u"Values/Text3=25"_s}));
    QCOMPARE(store.flushes, 1);

    StoredControls restored;
    storedSettings::restore(store, restored);
    QCOMPARE(restored, controls);

    store.writable = false;
    QVERIFY(!storedSettings::store(store, controls));
}

QTEST_GUILESS_MAIN(TestStoredSettings)
#include "tst_storedsettings.moc"
