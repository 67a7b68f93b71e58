#include "support/MemorySettingsStore.h"

#include "settings/StoredSettings.h"

#include <QTest>

using namespace lexiglow;
using namespace Qt::StringLiterals;

class TestStoredSettings final : public QObject
{
    Q_OBJECT

private slots:
    void keys_areTheSevenStoredControls();
    void restore_emptyStore_keepsInitialContent();
    void restore_emptyLetterCase_becomesUpperAndLower();
    void restore_takesEveryStoredText();
    void restore_nothingStored_keepsCurrentEdits();
    void restore_tickText_data();
    void restore_tickText();
    void restore_letterCaseText_data();
    void restore_letterCaseText();
    void restore_textBoxesTakeAnyText();
    void store_writesSevenKeysUnvalidated();
    void store_unwritable_reportsFailure();
    void storeThenRestore_roundTrips();
};

void TestStoredSettings::keys_areTheSevenStoredControls()
{
    QCOMPARE(storedSettings::keys(),
             QStringList({u"Frame2"_s, u"Combo1"_s, u"Text1"_s, u"Text2"_s, u"Text3"_s, u"Check1"_s, u"Check2"_s}));
    QCOMPARE(storedSettings::section, u"Values"_s);
    QCOMPARE(storedSettings::letterCaseItems(),
             QStringList({u"Upper and Lower Case"_s, u"Lower Case Only"_s, u"Upper Case Only"_s}));
}

void TestStoredSettings::restore_emptyStore_keepsInitialContent()
{
    const MemorySettingsStore store;
    StoredControls controls;
    storedSettings::restore(store, controls);
    QCOMPARE(controls.frameCaption, u"Advanced Settings"_s);
    QCOMPARE(controls.settings.minimumLength, u"8"_s);
    QCOMPARE(controls.settings.maximumLength, u"32"_s);
    QCOMPARE(controls.settings.passwordCount, u"10"_s);
    QCOMPARE(controls.settings.letterCase, u"Upper and Lower Case"_s);
    QCOMPARE(controls.settings.letterReplacement, false);
    QCOMPARE(controls.settings.specialCharacters, false);
    QCOMPARE(store.writes, 0);
}

void TestStoredSettings::restore_emptyLetterCase_becomesUpperAndLower()
{
    MemorySettingsStore store;
    StoredControls controls;
    controls.settings.letterCase.clear();
    storedSettings::restore(store, controls);
    QCOMPARE(controls.settings.letterCase, u"Upper and Lower Case"_s);

    // ...also when the stored text names no item.
    store.values[{u"Values"_s, u"Combo1"_s}] = u"Title Case"_s;
    controls.settings.letterCase.clear();
    storedSettings::restore(store, controls);
    QCOMPARE(controls.settings.letterCase, u"Upper and Lower Case"_s);
}

void TestStoredSettings::restore_takesEveryStoredText()
{
    MemorySettingsStore store;
    store.values = {{{u"Values"_s, u"Frame2"_s}, u"Mine"_s},      {{u"Values"_s, u"Combo1"_s}, u"Lower Case Only"_s},
                    {{u"Values"_s, u"Text1"_s}, u"5"_s},          {{u"Values"_s, u"Text2"_s}, u"12"_s},
                    {{u"Values"_s, u"Text3"_s}, u"3"_s},          {{u"Values"_s, u"Check1"_s}, u"1"_s},
                    {{u"Values"_s, u"Check2"_s}, u"1"_s}};
    StoredControls controls;
    storedSettings::restore(store, controls);
    QCOMPARE(controls.frameCaption, u"Mine"_s);
    QCOMPARE(controls.settings.letterCase, u"Lower Case Only"_s);
    QCOMPARE(controls.settings.minimumLength, u"5"_s);
    QCOMPARE(controls.settings.maximumLength, u"12"_s);
    QCOMPARE(controls.settings.passwordCount, u"3"_s);
    QVERIFY(controls.settings.letterReplacement);
    QVERIFY(controls.settings.specialCharacters);
}

void TestStoredSettings::restore_nothingStored_keepsCurrentEdits()
{
    const MemorySettingsStore store;
    StoredControls controls;
    controls.settings.minimumLength = u"11"_s;
    controls.settings.letterCase = u"Upper Case Only"_s;
    controls.settings.specialCharacters = true;
    const StoredControls edited = controls;
    storedSettings::restore(store, controls);
    QCOMPARE(controls, edited);
}

void TestStoredSettings::restore_tickText_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("before");
    QTest::addColumn<bool>("after");
    QTest::addRow("1 ticks") << u"1"_s << false << true;
    QTest::addRow("0 clears") << u"0"_s << true << false;
    QTest::addRow("1.0 is the number 1") << u"1.0"_s << false << true;
    QTest::addRow("blanks around 0") << u" 0 "_s << true << false;
    QTest::addRow("2 is no tick value") << u"2"_s << true << true;
    QTest::addRow("-1 is no tick value") << u"-1"_s << false << false;
    QTest::addRow("0.5 is no tick value") << u"0.5"_s << true << true;
    QTest::addRow("letters change nothing") << u"yes"_s << false << false;
    QTest::addRow("empty changes nothing") << QString() << true << true;
}

void TestStoredSettings::restore_tickText()
{
    QFETCH(QString, stored);
    QFETCH(bool, before);
    QFETCH(bool, after);
    MemorySettingsStore store;
    store.values[{u"Values"_s, u"Check1"_s}] = stored;
    store.values[{u"Values"_s, u"Check2"_s}] = stored;
    StoredControls controls;
    controls.settings.letterReplacement = before;
    controls.settings.specialCharacters = before;
    storedSettings::restore(store, controls);
    QCOMPARE(controls.settings.letterReplacement, after);
    QCOMPARE(controls.settings.specialCharacters, after);
}

void TestStoredSettings::restore_letterCaseText_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("after");
    QTest::addRow("lower") << u"Lower Case Only"_s << u"Lower Case Only"_s;
    QTest::addRow("upper") << u"Upper Case Only"_s << u"Upper Case Only"_s;
    QTest::addRow("both") << u"Upper and Lower Case"_s << u"Upper and Lower Case"_s;
    QTest::addRow("other letter case") << u"upper case only"_s << u"Lower Case Only"_s;
    QTest::addRow("trailing blank") << u"Upper Case Only "_s << u"Lower Case Only"_s;
    QTest::addRow("no item") << u"Sentence case"_s << u"Lower Case Only"_s;
    QTest::addRow("empty") << QString() << u"Lower Case Only"_s;
}

void TestStoredSettings::restore_letterCaseText()
{
    QFETCH(QString, stored);
    QFETCH(QString, after);
    MemorySettingsStore store;
    store.values[{u"Values"_s, u"Combo1"_s}] = stored;
    StoredControls controls;
    controls.settings.letterCase = u"Lower Case Only"_s;
    storedSettings::restore(store, controls);
    QCOMPARE(controls.settings.letterCase, after);
}

void TestStoredSettings::restore_textBoxesTakeAnyText()
{
    MemorySettingsStore store;
    store.values[{u"Values"_s, u"Text1"_s}] = u"abc"_s;
    store.values[{u"Values"_s, u"Text3"_s}] = QString();
    StoredControls controls;
    storedSettings::restore(store, controls);
    QCOMPARE(controls.settings.minimumLength, u"abc"_s);
    QCOMPARE(controls.settings.passwordCount, QString());
}

void TestStoredSettings::store_writesSevenKeysUnvalidated()
{
    MemorySettingsStore store;
    StoredControls controls;
    controls.settings.minimumLength = u"40"_s;
    controls.settings.maximumLength = u"six"_s;
    controls.settings.specialCharacters = true;
    QVERIFY(storedSettings::store(store, controls));
    QCOMPARE(store.values.size(), 7);
    QCOMPARE(store.get(u"Values"_s, u"Frame2"_s), u"Advanced Settings"_s);
    QCOMPARE(store.get(u"Values"_s, u"Combo1"_s), u"Upper and Lower Case"_s);
    QCOMPARE(store.get(u"Values"_s, u"Text1"_s), u"40"_s);
    QCOMPARE(store.get(u"Values"_s, u"Text2"_s), u"six"_s);
    QCOMPARE(store.get(u"Values"_s, u"Text3"_s), u"10"_s);
    QCOMPARE(store.get(u"Values"_s, u"Check1"_s), u"0"_s);
    QCOMPARE(store.get(u"Values"_s, u"Check2"_s), u"1"_s);
    QCOMPARE(store.flushes, 1);
}

void TestStoredSettings::store_unwritable_reportsFailure()
{
    MemorySettingsStore store;
    store.writable = false;
    QVERIFY(!storedSettings::store(store, StoredControls()));
}

void TestStoredSettings::storeThenRestore_roundTrips()
{
    MemorySettingsStore store;
    StoredControls controls;
    controls.frameCaption = u"Einstellungen"_s;
    controls.settings = {u"6"_s, u"14"_s, u"25"_s, u"Upper Case Only"_s, true, false};
    QVERIFY(storedSettings::store(store, controls));
    StoredControls fresh;
    fresh.settings.letterCase.clear();
    storedSettings::restore(store, fresh);
    QCOMPARE(fresh, controls);
}

QTEST_GUILESS_MAIN(TestStoredSettings)
#include "tst_storedsettings.moc"
