#pragma once
// The rules that turn a scanner's SANE options into what the scan dialog
// offers: numbers out of SANE words, the values a constraint allows, the
// resolutions to list (300 DPI first choice, since the main window asks for
// it), Italian captions for modes, sources and failures. No widgets here.

#include <sane/sane.h>

#include <QList>
#include <QString>
#include <QStringList>

namespace SaneChoices {

// The resolution the main window asks the operator for.
inline constexpr double PreferredResolution = 300.0;

// A numeric option's word as a number and back: SANE_Fixed words carry 16.16
// fixed point, SANE_Int words whole numbers (rounded half to even).
double WordToNumber(SANE_Word word, SANE_Value_Type type);
SANE_Word NumberToWord(double number, SANE_Value_Type type);

// What a numeric option allows.
struct NumericConstraint {
    enum Kind { Unconstrained, Range, List } kind = Unconstrained;
    double min = 0.0;
    double max = 0.0;
    double quant = 0.0; // 0: any value in the range
    QList<double> values; // List: as the device gives them
};

NumericConstraint ReadConstraint(const SANE_Option_Descriptor& descriptor);

// Whether the constraint allows value (on the range's grid, or in the list).
bool Allows(const NumericConstraint& constraint, double value);

// The allowed value nearest to wanted; between two equally near values the
// larger one, so that a page is never scanned coarser than asked.
double NearestAllowed(const NumericConstraint& constraint, double wanted);

// The smallest and largest allowed values (for a list: its extremes).
double LowestAllowed(const NumericConstraint& constraint);
double HighestAllowed(const NumericConstraint& constraint);

// The resolutions the scan dialog lists, ascending and without repeats: all
// of a list; for a range the usual scanner resolutions it allows, plus the
// value nearest to 300 DPI and, when fewer than two remain, its ends.
QList<double> ResolutionChoices(const NumericConstraint& constraint);

// "300 DPI", "127,5 DPI".
QString ResolutionCaption(double dpi);

// The strings of a string-list option, in the device's order.
QStringList StringChoices(const SANE_Option_Descriptor& descriptor);

// Italian captions for the usual SANE values; other values are shown as the
// device names them.
QString ModeCaption(const QString& mode);
QString SourceCaption(const QString& source);

// The mode the scan dialog starts with: colour when the device offers it
// (the photo and the signature are colour files), otherwise current.
QString PreferredMode(const QStringList& modes, const QString& current);

// " mm", " px", " DPI" or nothing: the suffix a value of this unit is shown with.
QString UnitSuffix(SANE_Unit unit);

// Why a scan stopped, in Italian, lower case, to follow "Acquisizione non
// riuscita: ".
QString StatusText(SANE_Status status);

// A resolution in dots per inch as the dots per metre a bitmap header holds.
unsigned DotsPerMetre(double dpi);

} // namespace SaneChoices
