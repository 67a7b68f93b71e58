#include "settings/GenerationSettings.h"

#include <QTest>

using namespace lexiglow;
using namespace Qt::StringLiterals;

using Field = SettingProblem::Field;
using Reason = SettingProblem::Reason;

class TestGenerationSettings final : public QObject
{
    Q_OBJECT

private slots:
    void readRequest_readsEachSettingOnce_orSaysWhichIsWrong_data()
    {
        QTest::addColumn<GenerationSettings>("settings");
        QTest::addColumn<PasswordRequest>("request");
        QTest::addColumn<QList<SettingProblem>>("problems");
        const auto rules = [](double minimum, double maximum, PasswordRules::Case letterCase = PasswordRules::Case::Keep) {
            return PasswordRules{.minimum = minimum, .maximum = maximum, .letterCase = letterCase};
        };
        QTest::addRow("blanks, sign, fractions; 2.5 passwords are two")
            << GenerationSettings{.minimumLength = u" +7.5 "_s, .maximumLength = u"9."_s, .passwordCount = u"2.5"_s}
            << PasswordRequest{.rules = rules(7.5, 9), .count = 2} << QList<SettingProblem>();
        QTest::addRow("below one: none; lower case; a floor")
            << GenerationSettings{.passwordCount = u"-3"_s, .letterCase = GenerationSettings::lowerCaseOnly, .minimumStrength = u" 28 "_s}
            << PasswordRequest{.rules = rules(8, 32, PasswordRules::Case::Lower), .count = 0, .floor = 28}
            << QList<SettingProblem>();
        QTest::addRow("an unknown case text keeps the words' case; 100000.5 is 100000")
            << GenerationSettings{.passwordCount = u"100000.5"_s, .letterCase = u"upper case only"_s}
            << PasswordRequest{.count = 100000} << QList<SettingProblem>();
        QTest::addRow("every wrong setting, in the order a batch meets them")
            << GenerationSettings{.minimumLength = u"eight"_s, .maximumLength = QString(), .passwordCount = u"1e3"_s,
                                  .minimumStrength = u" x "_s}
            << PasswordRequest()
            << QList<SettingProblem>{{Field::Count, Reason::NotANumber, u"1e3"_s}, {Field::Minimum, Reason::NotANumber, u"eight"_s},
                                     {Field::Maximum, Reason::NotANumber, QString()}, {Field::Floor, Reason::NotANumber, u"x"_s}};
        QTest::addRow("more than 100000") << GenerationSettings{.passwordCount = u"100001"_s} << PasswordRequest()
                                          << QList<SettingProblem>{{Field::Count, Reason::TooLarge, u"100001"_s}};
    }

    void readRequest_readsEachSettingOnce_orSaysWhichIsWrong()
    {
        QFETCH(GenerationSettings, settings);
        QFETCH(PasswordRequest, request);
        QFETCH(QList<SettingProblem>, problems);
        const RequestReading reading = readRequest(settings);
        QVERIFY(reading.request == request);
        QVERIFY(reading.problems == problems);
    }
};

QTEST_GUILESS_MAIN(TestGenerationSettings)
#include "tst_generationsettings.moc"
