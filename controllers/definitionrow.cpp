#include "controllers/definitionrow.h"

#include <algorithm>
#include <limits>

int32_t DefinitionRow::number(const char* element) const
{
    const QString t = text(element);
    int64_t v = 0;
    for (const QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) throw Error();
        v = v * 10 + (c.unicode() - '0');
        if (v > std::numeric_limits<int32_t>::max()) throw Error();
    }
    return int32_t(v);
}

void DefinitionRow::readScale(MappingEntry& e) const
{
    e[2] = number("sensitivity");
    e[3] = number("range");
    e[4] = number("rangelo");
    e[5] = number("rangeup");
}

int64_t DefinitionRow::midiKey(int64_t status, int64_t data1)
{
    // both come from number(): 0 .. 2^31 - 1, so the shift stays below 2^63
    int digits = 2;
    for (int64_t m = data1 >> 8; m > 0; m >>= 4) ++digits;
    return (status << (4 * digits)) + data1;
}
