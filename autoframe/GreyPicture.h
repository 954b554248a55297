#pragma once
// The grey values the face detector and the landmark model look at: a
// reduced grey copy of a picture for the detector, and a view that reads
// single grey pixels of the full picture (upright or turned by 180°) for
// the landmarks, which need only a few thousand of them.

#include <QImage>

#include <dlib/array2d.h>

namespace GreyPicture {

// The picture in a format the readers below handle directly (32-bit RGB,
// 24-bit RGB or 8-bit grey); other formats are converted once.
QImage Readable(const QImage& picture);

// Grey of one RGB pixel, the weights of qGray.
inline int Grey(int r, int g, int b)
{
    return (r * 11 + g * 16 + b * 5) / 32;
}

// A grey copy of a Readable picture reduced by scale (at most 1), each
// copy pixel the mean of the picture pixels it covers.
dlib::array2d<unsigned char> Reduced(const QImage& readable, double scale);

// The copy turned by 180° in place.
void Turn(dlib::array2d<unsigned char>& grey);

// Grey pixels of a Readable picture, in the coordinates of the picture
// turned by 180° when turned is set.
class View {
public:
    View(const QImage& readable, bool turned);
    long width() const { return w; }
    long height() const { return h; }
    bool contains(long x, long y) const { return x >= 0 && y >= 0 && x < w && y < h; }
    int at(long x, long y) const;

private:
    QImage picture;
    const uchar* bits;
    qsizetype stride;
    int depth; // bytes per pixel: 4, 3 or 1
    long w, h;
    bool turned;
};

} // namespace GreyPicture
