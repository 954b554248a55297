#include "Libreria.h"

#include "ImageControl.h"
#include "Numbers.h"
#include "SourcePicture.h"

#include <QLocale>
#include <QStringList>


namespace Libreria {

namespace {

// origin + size / 2 is exact in binary floating point; "g" writes a fraction
// only when there is one.
QString Centre(int origin, int size)
{
    return QString::number(origin + size / 2.0, 'g', 12);
}

// A whole scanned page smooth-scaled straight to a few hundred pixels takes
// a third of a second; sampling it down to twice the size first keeps the
// look and takes a few milliseconds.
QImage ScaledForDisplay(const QImage& picture, int width, int height)
{
    if (picture.size() == QSize(width, height))
        return picture;
    QImage source = picture;
    if (picture.width() > 4 * width && picture.height() > 4 * height)
        source = picture.scaled(2 * width, 2 * height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return source.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

QString BoxTagText(int left, int top, int width, int height)
{
    return Centre(left, width) + u' ' + Centre(top, height) + u' ' + QString::number(width) + u' '
        + QString::number(height);
}

bool ReadBoxTag(const QString& tag, qint16& cx, qint16& cy, qint16& w, qint16& h)
{
    const QStringList items = tag.split(u' ');
    if (items.size() < 4)
        return false;
    qint16 values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const double value = QLocale::c().toDouble(items[i], &ok);
        if (!ok)
            return false;
        values[i] = Numbers::ToInt16(value);
    }
    cx = values[0];
    cy = values[1];
    w = values[2];
    h = values[3];
    return true;
}

void StoreBoxInTag(ImageControl& control)
{
    control.setTag(BoxTagText(control.x(), control.y(), control.width(), control.height()));
}

std::optional<PlacedBox> FitInBox(int pictureWidth, int pictureHeight, qint16 cx, qint16 cy, qint16 w,
                                  qint16 h)
{
    if (w <= 0 || h <= 0 || pictureWidth <= 0 || pictureHeight <= 0)
        return std::nullopt;
    // H0 / h against W0 / w, and W0 / (H0 / h) rounded up, in whole numbers:
    // in floating point a quotient that is whole can come out a hair above
    // it and gain a pixel beyond the box.
    const long long W0 = pictureWidth, H0 = pictureHeight;
    PlacedBox box;
    if (H0 * w > W0 * h) {
        box.height = h;
        box.width = int((W0 * h + H0 - 1) / H0);
    } else {
        box.width = w;
        box.height = int((H0 * w + W0 - 1) / W0);
    }
    box.left = static_cast<int>(Numbers::RoundHalfEven(cx - box.width / 2.0));
    box.top = static_cast<int>(Numbers::RoundHalfEven(cy - box.height / 2.0));
    return box;
}

void LoadPictureInBox(const QImage& picture, ImageControl& control, qint16& cx, qint16& cy, qint16& w,
                      qint16& h, bool show)
{
    // A failing step is skipped; the checkpoints below end the routine when
    // anything has failed so far.
    bool failed = false;
    if (cx == -1 && !ReadBoxTag(control.tag(), cx, cy, w, h))
        failed = true;
    if (cx == 0 && cy == 0 && w == 0 && h == 0) {
        cx = Numbers::ToInt16(control.x() + control.width() / 2.0);
        cy = Numbers::ToInt16(control.y() + control.height() / 2.0);
        w = Numbers::ClampInt16(control.width());
        h = Numbers::ClampInt16(control.height());
    }
    control.hide();
    control.setStretch(false);
    if (picture.isNull() || failed)
        return;

    const std::optional<PlacedBox> box = FitInBox(picture.width(), picture.height(), cx, cy, w, h);
    if (!box)
        return;
    control.setStretch(true);
    control.setGeometry(box->left, box->top, box->width, box->height);
    // The control keeps a copy of the size it shows, not a whole scanned page.
    control.setPicture(ScaledForDisplay(picture, box->width, box->height));
    if (show)
        control.show();
}

void LoadPictureInBox(const QString& file, ImageControl& control, qint16& cx, qint16& cy, qint16& w,
                      qint16& h, bool show)
{
    LoadPictureInBox(SourcePicture::Load(file).picture, control, cx, cy, w, h, show);
}

} // namespace Libreria
