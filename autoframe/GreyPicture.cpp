#include "GreyPicture.h"

#include <algorithm>
#include <vector>

namespace GreyPicture {

namespace {

int DepthOf(QImage::Format format)
{
    switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return 4;
    case QImage::Format_RGB888:
        return 3;
    case QImage::Format_Grayscale8:
        return 1;
    default:
        return 0;
    }
}

// One row of the picture as grey values.
void GreyRow(const QImage& readable, int y, int depth, std::vector<unsigned char>& row)
{
    const uchar* line = readable.constScanLine(y);
    const int width = readable.width();
    if (depth == 1) {
        std::copy(line, line + width, row.begin());
    } else if (depth == 4) {
        const QRgb* pixels = reinterpret_cast<const QRgb*>(line);
        for (int x = 0; x < width; ++x)
            row[size_t(x)] = (unsigned char)Grey(qRed(pixels[x]), qGreen(pixels[x]), qBlue(pixels[x]));
    } else {
        for (int x = 0; x < width; ++x, line += 3)
            row[size_t(x)] = (unsigned char)Grey(line[0], line[1], line[2]);
    }
}

// Where each of count parts of length begins, the last entry being length:
// whole pixels, so that every picture pixel counts in exactly one part.
std::vector<int> Bounds(int length, int count)
{
    std::vector<int> bounds(size_t(count) + 1);
    for (int i = 0; i <= count; ++i)
        bounds[size_t(i)] = int(qint64(i) * length / count);
    return bounds;
}

} // namespace

QImage Readable(const QImage& picture)
{
    if (picture.isNull() || DepthOf(picture.format()) != 0)
        return picture;
    if (picture.isGrayscale())
        return picture.convertToFormat(QImage::Format_Grayscale8);
    return picture.convertToFormat(QImage::Format_RGB32);
}

dlib::array2d<unsigned char> Reduced(const QImage& readable, double scale)
{
    const int width = readable.width(), height = readable.height();
    const int outWidth = std::clamp(int(width * scale), 1, width);
    const int outHeight = std::clamp(int(height * scale), 1, height);
    dlib::array2d<unsigned char> out(outHeight, outWidth);
    const std::vector<int> columns = Bounds(width, outWidth), rows = Bounds(height, outHeight);
    std::vector<int> columnOf(static_cast<size_t>(width));
    for (int i = 0; i < outWidth; ++i)
        std::fill(columnOf.begin() + columns[size_t(i)], columnOf.begin() + columns[size_t(i) + 1], i);
    const int depth = DepthOf(readable.format());
    std::vector<unsigned char> grey(static_cast<size_t>(width));
    std::vector<unsigned> sums(static_cast<size_t>(outWidth));
    for (int j = 0; j < outHeight; ++j) {
        std::fill(sums.begin(), sums.end(), 0u);
        for (int y = rows[size_t(j)]; y < rows[size_t(j) + 1]; ++y) {
            GreyRow(readable, y, depth, grey);
            for (int x = 0; x < width; ++x)
                sums[size_t(columnOf[size_t(x)])] += grey[size_t(x)];
        }
        const unsigned rowCount = unsigned(rows[size_t(j) + 1] - rows[size_t(j)]);
        for (int i = 0; i < outWidth; ++i) {
            const unsigned n = rowCount * unsigned(columns[size_t(i) + 1] - columns[size_t(i)]);
            out[j][i] = (unsigned char)((sums[size_t(i)] + n / 2) / n);
        }
    }
    return out;
}

void Turn(dlib::array2d<unsigned char>& grey)
{
    if (grey.size() == 0)
        return;
    unsigned char* first = &grey[0][0];
    std::reverse(first, first + grey.size());
}

View::View(const QImage& readable, bool turned)
    : picture(readable)
    , bits(picture.constBits())
    , stride(picture.bytesPerLine())
    , depth(DepthOf(picture.format()))
    , w(picture.width())
    , h(picture.height())
    , turned(turned)
{
}

int View::at(long x, long y) const
{
    if (turned) {
        x = w - 1 - x;
        y = h - 1 - y;
    }
    const uchar* p = bits + y * stride + x * depth;
    if (depth == 1)
        return p[0];
    if (depth == 4) {
        const QRgb rgb = *reinterpret_cast<const QRgb*>(p);
        return Grey(qRed(rgb), qGreen(rgb), qBlue(rgb));
    }
    return Grey(p[0], p[1], p[2]);
}

} // namespace GreyPicture
