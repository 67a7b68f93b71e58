#include "settings/GenerationSettings.h"

namespace lexiglow {

std::optional<double> settingNumber(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    qsizetype pos = 0;
    const auto isDigit = [&](qsizetype i) { return i < trimmed.size() && trimmed[i].isDigit() && trimmed[i].unicode() < 128; };

    if (pos < trimmed.size() && (trimmed[pos] == u'+' || trimmed[pos] == u'-'))
        ++pos;
    qsizetype digits = 0;
    for (; isDigit(pos); ++pos)
        ++digits;
    if (pos < trimmed.size() && trimmed[pos] == u'.') {
        ++pos;
        for (; isDigit(pos); ++pos)
            ++digits;
    }
    if (digits == 0 || pos != trimmed.size())
        return std::nullopt;
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace lexiglow
