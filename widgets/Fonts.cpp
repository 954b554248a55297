#include "Fonts.h"

#include "Numbers.h"

#include <QFontDatabase>
#include <QStringList>

QString UiFontFamily()
{
    static const QString family = [] {
        const QStringList families = QFontDatabase::families();
        for (const QString& candidate : {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}) {
            if (families.contains(candidate, Qt::CaseInsensitive))
                return candidate;
        }
        return QStringLiteral("Arial"); // let fontconfig find the closest
    }();
    return family;
}

int PointsToPixels(double points)
{
    return static_cast<int>(Numbers::RoundHalfEven(points * 96.0 / 72.0));
}

QFont UiFont(double points, bool bold)
{
    QFont font(UiFontFamily());
    font.setPixelSize(PointsToPixels(points));
    font.setBold(bold);
    return font;
}

QString ResolvedFamily(const QString& name)
{
    if (name.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        return UiFontFamily();
    return name;
}

double PixelsToPoints(int pixels)
{
    return pixels * 72.0 / 96.0;
}

QString StoredFamily(const QString& family)
{
    if (family.compare(UiFontFamily(), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Arial");
    return family;
}
