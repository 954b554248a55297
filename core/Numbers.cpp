#include "Numbers.h"

#include <QLocale>

#include <cfenv>
#include <cmath>
#include <limits>

namespace Numbers {

long long RoundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double maxLL = 9.2233720368547748e18; // first double above LLONG_MAX
    if (value >= maxLL)
        return std::numeric_limits<long long>::max();
    if (value <= -maxLL)
        return std::numeric_limits<long long>::min();
    // nearbyint honours the current rounding mode; make sure it is the
    // default one, whatever a library may have left behind.
    const int saved = std::fegetround();
    if (saved != FE_TONEAREST)
        std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    if (saved != FE_TONEAREST)
        std::fesetround(saved);
    return static_cast<long long>(rounded);
}

qint16 ClampInt16(long long value)
{
    if (value > std::numeric_limits<qint16>::max())
        return std::numeric_limits<qint16>::max();
    if (value < std::numeric_limits<qint16>::min())
        return std::numeric_limits<qint16>::min();
    return static_cast<qint16>(value);
}

qint16 ToInt16(double value)
{
    return ClampInt16(RoundHalfEven(value));
}

double LenientNumber(QStringView text)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;

    const qsizetype start = i;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    const auto isDigit = [&](qsizetype k) { return k < n && text[k] >= u'0' && text[k] <= u'9'; };
    qsizetype digits = 0;
    while (isDigit(i)) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == u'.' && isDigit(i + 1)) {
        ++i;
        while (isDigit(i)) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    // The C locale parses the matched digits exactly (correctly rounded).
    bool ok = false;
    const double value = QLocale::c().toDouble(text.mid(start, i - start), &ok);
    return ok ? value : 0.0;
}

int LenientInteger(QStringView text)
{
    const long long v = RoundHalfEven(LenientNumber(text));
    if (v > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

} // namespace Numbers
