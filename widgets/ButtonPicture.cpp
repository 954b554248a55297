#include "ButtonPicture.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>

ButtonPicture ButtonPicture::FromFileImage(const QByteArray& fileImage, const QString& source)
{
    ButtonPicture picture;
    QBuffer buffer;
    buffer.setData(fileImage);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    QImage image = reader.read();
    if (image.isNull())
        return picture;
    picture.fileImage_ = fileImage;
    picture.source_ = source;
    picture.icon_ = format == "ico" || format == "cur" || image.hasAlphaChannel();
    picture.image_ = image.convertToFormat(picture.icon_ ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    return picture;
}

ButtonPicture ButtonPicture::FromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return FromFileImage(file.readAll(), path);
}

ButtonPicture ButtonPicture::FromImage(const QImage& image)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG"))
        return {};
    return FromFileImage(data);
}

QImage ButtonPicture::bitmap(OleColor maskRgb) const
{
    if (!icon_)
        return image_;
    if (bitmap_.isNull() || bitmapMask_ != maskRgb) {
        bitmap_ = QImage(image_.size(), QImage::Format_RGB32);
        bitmap_.fill(ToQColor(maskRgb));
        QPainter p(&bitmap_);
        p.drawImage(0, 0, image_);
        bitmapMask_ = maskRgb;
    }
    return bitmap_;
}
