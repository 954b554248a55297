#include "Libreria.h"

#include "ImageControl.h"

namespace Libreria {

namespace {
// origin + size / 2 is exact in binary floating point; "g" writes a fraction
// only when there is one.
QString Centre(int origin, int size)
{
    return QString::number(origin + size / 2.0, 'g', 12);
}
} // namespace

QString BoxTagText(int left, int top, int width, int height)
{
    return Centre(left, width) + u' ' + Centre(top, height) + u' ' + QString::number(width) + u' '
        + QString::number(height);
}

void StoreBoxInTag(ImageControl& control)
{
    control.setTag(BoxTagText(control.x(), control.y(), control.width(), control.height()));
}

} // namespace Libreria
