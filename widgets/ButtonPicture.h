#pragma once
// A picture property of the button: the complete image of a picture file
// (bitmap, icon, PNG...) as a layout stores it, decoded once. Pictures with
// transparency count as icons: they are laid onto the mask colour before
// they are composited, like an icon drawn onto a bitmap.

#include "OleColor.h"

#include <QByteArray>
#include <QImage>
#include <QString>

class ButtonPicture {
public:
    ButtonPicture() = default;

    // Decodes a file image; a null picture when the data is no picture.
    // source, when given, is where the file came from (a resource path), so
    // that a layout written back can refer to it instead of copying it.
    static ButtonPicture FromFileImage(const QByteArray& fileImage, const QString& source = {});
    // Reads a file or resource; a null picture when it cannot be read.
    static ButtonPicture FromFile(const QString& path);
    // A picture made in the program, stored as a PNG file image.
    static ButtonPicture FromImage(const QImage& image);

    bool isNull() const { return image_.isNull(); }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    QSize size() const { return image_.size(); }
    bool isIcon() const { return icon_; }

    const QImage& image() const { return image_; }
    const QByteArray& fileImage() const { return fileImage_; }
    const QString& source() const { return source_; }

    // The picture as an opaque bitmap: a bitmap as it is, an icon drawn onto
    // a bitmap filled with maskRgb.
    QImage bitmap(OleColor maskRgb) const;

    bool operator==(const ButtonPicture& other) const { return fileImage_ == other.fileImage_; }

private:
    QByteArray fileImage_;
    QString source_;
    QImage image_;
    bool icon_ = false;
    mutable QImage bitmap_; // cache for bitmapMask_
    mutable OleColor bitmapMask_ = 0;
};
