#include "SaneChoices.h"

#include "Numbers.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>

namespace SaneChoices {

namespace {

// Fixed-point words are exact to 1/65536; anything closer counts as equal.
constexpr double Tolerance = 1e-4;

// The usual resolutions of flatbed scanners, offered where a range allows them.
constexpr double CommonResolutions[] = {75, 100, 150, 200, 240, 300, 400, 600, 1200, 2400, 4800};

bool Same(double a, double b)
{
    return std::abs(a - b) < Tolerance;
}

double NearestOnGrid(const NumericConstraint& c, double wanted)
{
    const double lo = std::min(c.min, c.max);
    const double hi = std::max(c.min, c.max);
    const double clamped = std::clamp(wanted, lo, hi);
    if (c.quant <= 0.0)
        return clamped;
    const double steps = (clamped - lo) / c.quant;
    const double below = lo + std::floor(steps + Tolerance) * c.quant;
    const double above = below + c.quant;
    if (above > hi + Tolerance)
        return below;
    return (clamped - below) < (above - clamped) - Tolerance ? below : above;
}

double NearestInList(const QList<double>& values, double wanted)
{
    double best = wanted;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (const double v : values) {
        const double distance = std::abs(v - wanted);
        if (distance < bestDistance - Tolerance
            || (std::abs(distance - bestDistance) <= Tolerance && v > best)) {
            best = v;
            bestDistance = distance;
        }
    }
    return best;
}

void AddUnique(QList<double>& list, double value)
{
    for (const double v : list)
        if (Same(v, value))
            return;
    list.append(value);
}

} // namespace

double WordToNumber(SANE_Word word, SANE_Value_Type type)
{
    if (type == SANE_TYPE_FIXED)
        return SANE_UNFIX(word);
    return static_cast<double>(word);
}

SANE_Word NumberToWord(double number, SANE_Value_Type type)
{
    const double scaled = type == SANE_TYPE_FIXED ? number * (1 << SANE_FIXED_SCALE_SHIFT) : number;
    const long long rounded = Numbers::RoundHalfEven(scaled);
    return static_cast<SANE_Word>(
        std::clamp<long long>(rounded, std::numeric_limits<SANE_Word>::min(),
                              std::numeric_limits<SANE_Word>::max()));
}

NumericConstraint ReadConstraint(const SANE_Option_Descriptor& descriptor)
{
    NumericConstraint c;
    if (descriptor.type != SANE_TYPE_INT && descriptor.type != SANE_TYPE_FIXED)
        return c;
    if (descriptor.constraint_type == SANE_CONSTRAINT_RANGE && descriptor.constraint.range) {
        const SANE_Range& r = *descriptor.constraint.range;
        c.kind = NumericConstraint::Range;
        c.min = WordToNumber(r.min, descriptor.type);
        c.max = WordToNumber(r.max, descriptor.type);
        c.quant = WordToNumber(r.quant, descriptor.type);
        if (c.min > c.max)
            std::swap(c.min, c.max);
        if (c.quant < 0.0)
            c.quant = -c.quant;
    } else if (descriptor.constraint_type == SANE_CONSTRAINT_WORD_LIST
               && descriptor.constraint.word_list) {
        // The first word is the number of words that follow.
        const SANE_Word* words = descriptor.constraint.word_list;
        c.kind = NumericConstraint::List;
        for (SANE_Word i = 1; i <= words[0]; ++i)
            c.values.append(WordToNumber(words[i], descriptor.type));
        if (c.values.isEmpty())
            c.kind = NumericConstraint::Unconstrained;
    }
    return c;
}

bool Allows(const NumericConstraint& c, double value)
{
    switch (c.kind) {
    case NumericConstraint::Unconstrained:
        return true;
    case NumericConstraint::Range:
        return Same(NearestOnGrid(c, value), value);
    case NumericConstraint::List:
        return std::any_of(c.values.begin(), c.values.end(), [&](double v) { return Same(v, value); });
    }
    return false;
}

double NearestAllowed(const NumericConstraint& c, double wanted)
{
    switch (c.kind) {
    case NumericConstraint::Unconstrained:
        return wanted;
    case NumericConstraint::Range:
        return NearestOnGrid(c, wanted);
    case NumericConstraint::List:
        return NearestInList(c.values, wanted);
    }
    return wanted;
}

double LowestAllowed(const NumericConstraint& c)
{
    if (c.kind == NumericConstraint::List)
        return *std::min_element(c.values.begin(), c.values.end());
    return c.min;
}

double HighestAllowed(const NumericConstraint& c)
{
    if (c.kind == NumericConstraint::List)
        return *std::max_element(c.values.begin(), c.values.end());
    if (c.kind == NumericConstraint::Range)
        return NearestOnGrid(c, c.max); // the top of the grid may sit below max
    return c.max;
}

QList<double> ResolutionChoices(const NumericConstraint& c)
{
    QList<double> choices;
    if (c.kind == NumericConstraint::List) {
        for (const double v : c.values)
            if (v > 0.0)
                AddUnique(choices, v);
    } else {
        for (const double v : CommonResolutions)
            if (c.kind == NumericConstraint::Unconstrained ? v <= 1200.0 : Allows(c, v))
                AddUnique(choices, v);
        if (c.kind == NumericConstraint::Range) {
            const double nearest = NearestAllowed(c, PreferredResolution);
            if (nearest > 0.0)
                AddUnique(choices, nearest);
            if (choices.size() < 2) {
                if (c.min > 0.0)
                    AddUnique(choices, c.min);
                if (HighestAllowed(c) > 0.0)
                    AddUnique(choices, HighestAllowed(c));
            }
        }
    }
    std::sort(choices.begin(), choices.end());
    return choices;
}

QString ResolutionCaption(double dpi)
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    return italian.toString(dpi, 'g', 8) + QStringLiteral(" DPI");
}

QStringList StringChoices(const SANE_Option_Descriptor& descriptor)
{
    QStringList list;
    if (descriptor.type != SANE_TYPE_STRING
        || descriptor.constraint_type != SANE_CONSTRAINT_STRING_LIST
        || !descriptor.constraint.string_list)
        return list;
    for (const SANE_String_Const* s = descriptor.constraint.string_list; *s; ++s)
        list.append(QString::fromUtf8(*s));
    return list;
}

QString ModeCaption(const QString& mode)
{
    const QString m = mode.toLower();
    if (m == u"color" || m == u"colour")
        return QStringLiteral("Colore");
    if (m == u"gray" || m == u"grey")
        return QStringLiteral("Scala di grigi");
    if (m == u"lineart" || m == u"binary")
        return QStringLiteral("Bianco e nero");
    if (m == u"halftone")
        return QStringLiteral("Retinato");
    return mode;
}

QString SourceCaption(const QString& source)
{
    const QString s = source.toLower();
    if (s == u"flatbed")
        return QStringLiteral("Piano di scansione");
    if (s == u"automatic document feeder" || s == u"adf" || s == u"adf front")
        return QStringLiteral("Alimentatore automatico");
    if (s == u"adf duplex" || s == u"duplex")
        return QStringLiteral("Alimentatore fronte/retro");
    if (s == u"transparency adapter" || s == u"transparency unit")
        return QStringLiteral("Adattatore per trasparenti");
    return source;
}

QString PreferredMode(const QStringList& modes, const QString& current)
{
    for (const QString& m : modes)
        if (ModeCaption(m) == u"Colore")
            return m;
    return current;
}

QString UnitSuffix(SANE_Unit unit)
{
    switch (unit) {
    case SANE_UNIT_MM:
        return QStringLiteral(" mm");
    case SANE_UNIT_PIXEL:
        return QStringLiteral(" px");
    case SANE_UNIT_DPI:
        return QStringLiteral(" DPI");
    default:
        return QString();
    }
}

QString StatusText(SANE_Status status)
{
    switch (status) {
    case SANE_STATUS_GOOD:
        return QString();
    case SANE_STATUS_UNSUPPORTED:
        return QStringLiteral("operazione non supportata dallo scanner");
    case SANE_STATUS_CANCELLED:
        return QStringLiteral("acquisizione annullata dallo scanner");
    case SANE_STATUS_DEVICE_BUSY:
        return QStringLiteral("lo scanner è occupato");
    case SANE_STATUS_INVAL:
        return QStringLiteral("lo scanner non accetta le impostazioni scelte");
    case SANE_STATUS_EOF:
        return QStringLiteral("lo scanner non ha inviato dati");
    case SANE_STATUS_JAMMED:
        return QStringLiteral("carta inceppata nello scanner");
    case SANE_STATUS_NO_DOCS:
        return QStringLiteral("nessun documento nell'alimentatore");
    case SANE_STATUS_COVER_OPEN:
        return QStringLiteral("il coperchio dello scanner è aperto");
    case SANE_STATUS_IO_ERROR:
        return QStringLiteral("errore di comunicazione con lo scanner");
    case SANE_STATUS_NO_MEM:
        return QStringLiteral("memoria insufficiente");
    case SANE_STATUS_ACCESS_DENIED:
        return QStringLiteral("accesso allo scanner negato");
    }
    return QStringLiteral("errore dello scanner");
}

unsigned DotsPerMetre(double dpi)
{
    if (!(dpi > 0.0))
        return 0;
    return static_cast<unsigned>(Numbers::RoundHalfEven(dpi * 10000.0 / 254.0));
}

} // namespace SaneChoices
