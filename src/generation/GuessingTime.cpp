#include "generation/GuessingTime.h"

#include <cmath>

namespace lexiglow {

QString timeInWords(double seconds)
{
    struct Unit
    {
        double seconds;
        const char *name;
    };
    constexpr double day = 24 * 3600.0, month = 31 * day, year = 12 * month;
    constexpr Unit units[] = {{year, "year"}, {month, "month"}, {day, "day"}, {3600, "hour"}, {60, "minute"}, {1, "second"}};
    if (!(seconds >= 1))
        return QStringLiteral("less than a second");
    if (seconds >= 100 * year)
        return QStringLiteral("centuries");
    for (const Unit &unit : units) {
        if (seconds < unit.seconds)
            continue;
        const double count = std::floor(seconds / unit.seconds + 0.5);
        return QStringLiteral("%1 %2%3").arg(count, 0, 'f', 0).arg(QLatin1StringView(unit.name), count == 1 ? QString() : QStringLiteral("s"));
    }
    return {}; // every time of a second or more reaches the second
}

} // namespace lexiglow
