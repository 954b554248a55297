#pragma once
// Number rules shared by every folder: real-to-integer conversions that round
// to the nearest integer with ties to the even neighbour, 16-bit quantities
// that saturate instead of wrapping, and the lenient reading of numbers
// stored as text.

#include <QtGlobal>
#include <QStringView>

namespace Numbers {

// Nearest integer, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4).
// NaN gives 0; values beyond the range of long long saturate.
long long RoundHalfEven(double value);

// Saturating narrowings to the 16-bit range.
qint16 ClampInt16(long long value);
qint16 ToInt16(double value); // rounded half to even, then clamped

// The longest leading decimal number of the text: leading blanks are skipped,
// then an optional sign, digits, and an optional "." with more digits.
// Text that does not begin with a number reads as 0 ("1x" -> 1, "abc" -> 0).
double LenientNumber(QStringView text);

// LenientNumber rounded half to even and clamped to the int range.
int LenientInteger(QStringView text);

} // namespace Numbers
