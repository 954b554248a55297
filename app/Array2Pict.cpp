#include "Array2Pict.h"

#include <QBuffer>
#include <QImageReader>

namespace Array2Pict {

QImage PictureFromBytes(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    QImage picture = reader.read();
    if (picture.isNull())
        return {};
    // Indexed pictures with a transparent entry become plain ARGB, so every
    // pixel can be read and drawn alike.
    if (picture.format() == QImage::Format_Indexed8 || picture.format() == QImage::Format_Mono
        || picture.format() == QImage::Format_MonoLSB)
        picture = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                     : QImage::Format_RGB32);
    return picture;
}

} // namespace Array2Pict
