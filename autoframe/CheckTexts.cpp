// The photo check's values and notes as the operator reads them, in the
// editor's panel and on the terminal.

#include "PhotoCheck.h"

namespace PhotoCheck {

namespace {

QString Number(double value, int decimals = 0)
{
    return QString::number(value, 'f', decimals).replace(u'.', u',');
}

QString Signed(double value, int decimals)
{
    const QString text = Number(value, decimals);
    const QString zero = Number(0, decimals);
    if (text == zero || text == u'-' + zero)
        return zero;
    return text.startsWith(u'-') ? text : u'+' + text;
}

} // namespace

QString NameOf(Item item)
{
    switch (item) {
    case Item::HeadHeight:
        return QStringLiteral("Altezza della testa");
    case Item::EyeLine:
        return QStringLiteral("Linea degli occhi");
    case Item::Centring:
        return QStringLiteral("Centratura");
    case Item::Roll:
        return QStringLiteral("Inclinazione testa");
    case Item::Background:
        return QStringLiteral("Uniformità sfondo");
    case Item::Brightness:
        return QStringLiteral("Luminosità viso");
    case Item::Clipped:
        return QStringLiteral("Pixel bruciati viso");
    case Item::Sharpness:
        return QStringLiteral("Nitidezza");
    }
    return {};
}

QString ValueText(const Value& v)
{
    if (!v.measured)
        return QStringLiteral("—");
    switch (v.item) {
    case Item::HeadHeight:
        if (v.reading == Reading::AtLeast)
            return QStringLiteral("≥ ") + Number(v.value) + QStringLiteral(" %");
        if (v.reading == Reading::Estimated)
            return Number(v.value) + QStringLiteral(" % (stimata)");
        return Number(v.value) + QStringLiteral(" %");
    case Item::EyeLine:
        return Number(v.value) + QStringLiteral(" %");
    case Item::Centring:
        return Signed(v.value, 1) + QStringLiteral(" %");
    case Item::Roll:
        return Signed(v.value, 1) + QStringLiteral("°");
    case Item::Clipped:
        return Number(v.value, 1) + QStringLiteral(" %");
    case Item::Background:
    case Item::Brightness:
    case Item::Sharpness:
        return Number(v.value);
    }
    return {};
}

QString RangeText(const Value& v)
{
    switch (v.item) {
    case Item::HeadHeight:
    case Item::EyeLine:
        return Number(v.low) + u'–' + Number(v.high) + QStringLiteral(" %");
    case Item::Centring:
        return QStringLiteral("±") + Number(v.high) + QStringLiteral(" %");
    case Item::Roll:
        return QStringLiteral("±") + Number(v.high) + QStringLiteral("°");
    case Item::Clipped:
        return QStringLiteral("≤ ") + Number(v.high) + QStringLiteral(" %");
    case Item::Background:
        return QStringLiteral("≤ ") + Number(v.high);
    case Item::Brightness:
        return Number(v.low) + u'–' + Number(v.high);
    case Item::Sharpness:
        return QStringLiteral("≥ ") + Number(v.low);
    }
    return {};
}

QStringList Notes(const Report& report)
{
    if (report.modelMissing)
        return {QStringLiteral("viso non cercato, manca il modello dei punti del viso (libdlib-data).")};
    if (!report.faceFound)
        return {QStringLiteral("nessun viso trovato.")};
    QStringList notes;
    const Value& head = report[Item::HeadHeight];
    if (head.measured && head.reading == Reading::Estimated)
        notes << QStringLiteral("altezza della testa stimata: la sommità non si distingue dallo sfondo.");
    if (head.measured && head.reading == Reading::AtLeast)
        notes << QStringLiteral("la testa esce dal bordo superiore.");
    if (report.otherFaces > 0)
        notes << QStringLiteral("altri visi nella foto (%1): misurato il più grande.").arg(report.otherFaces);
    if (report.turned)
        notes << QStringLiteral("foto capovolta: misurata girata di 180°.");
    return notes;
}

QString Note(const Report& report)
{
    return Notes(report).join(u' ');
}

QString PlainText(const Report& report)
{
    QString text;
    for (const Value& v : report.values)
        text += QStringLiteral("%1  %2  (%3)  %4\n")
                    .arg(NameOf(v.item).leftJustified(24), ValueText(v).rightJustified(14), RangeText(v),
                         v.pass() ? QStringLiteral("OK") : QStringLiteral("NO"));
    for (const QString& note : Notes(report))
        text += QStringLiteral("Nota: ") + note + u'\n';
    return text;
}

} // namespace PhotoCheck
