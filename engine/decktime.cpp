#include "engine/decktime.h"

QString decode_time(int64_t ms, char kind, int* rem)
{
    if (ms <= 0) {
        if (kind == 'R' && rem) *rem = -1;
        return QStringLiteral("0:00:00:00");
    }
    const int totalMinutes = static_cast<uint16_t>(ms / 60000);
    const int hours = totalMinutes / 60;
    const int minutes = totalMinutes % 60;
    const int64_t rest = ms % 60000;
    const int seconds = static_cast<int>(rest / 1000);
    const int hundredths = static_cast<int>((rest % 1000) / 10);
    if (kind == 'R' && rem) *rem = hours * 3600 + minutes * 60 + seconds;
    auto two = [](int n) { return QStringLiteral("00%1").arg(n).right(2); };
    return QStringLiteral("0%1").arg(hours).right(1) + ':' + two(minutes) + ':' + two(seconds) +
           ':' + two(hundredths);
}

QString formatFixed(double v, int intDigits, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double r = std::nearbyint(std::fabs(v) * scale) / scale;
    QString s = QString::number(r, 'f', decimals);
    const int dot = s.indexOf('.');
    const int have = dot < 0 ? s.size() : dot;
    if (have < intDigits) s.prepend(QString(intDigits - have, '0'));
    if (v < 0 && r != 0) s.prepend('-');
    return s;
}
