#include "modBitBlt.h"

#include "MFreeImage.h"
#include "WholeFile.h"

#include <QPainter>
#include <QRegion>
#include <QWidget>

namespace modBitBlt {

QImage CopyDcToPicture(QWidget& source, int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    QImage picture(width, height, QImage::Format_RGB32);
    if (picture.isNull())
        return {};
    picture.fill(Qt::black);
    const QRect block(x, y, width, height);
    const QRect shown = block & source.rect();
    if (shown.isEmpty())
        return picture;
    // render() puts the top-left corner of the region drawn at the offset.
    QPainter painter(&picture);
    source.render(&painter, shown.topLeft() - block.topLeft(), QRegion(shown),
                  QWidget::DrawWindowBackground | QWidget::DrawChildren);
    painter.end();
    return picture;
}

bool SaveBitmapFile(const QImage& picture, const QString& path)
{
    if (picture.isNull())
        return false;
    QByteArray bytes;
    if (!MFreeImage::SaveBitmapToBytes(FIF_BMP, MFreeImage::LibraryBitmapFromPicture(picture), bytes, BMP_DEFAULT,
                                       true))
        return false;
    return WriteWholeFile(path, bytes);
}

} // namespace modBitBlt
