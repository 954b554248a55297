// Numbers written as text by hand: the settings and formati.txt fields.

#include "Numbers.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const double value = Numbers::LenientNumber(text);
    if (std::isnan(value))
        std::abort(); // digits never read as "not a number"
    const int whole = Numbers::LenientInteger(text);
    const qint16 narrow = Numbers::ToInt16(value);
    if (value >= 0 && (whole < 0 || narrow < 0))
        std::abort(); // saturation, never wrapping
    return 0;
}
