#pragma once
// Reading written files back the way the authority's software would.

#include <FreeImage.h>

#include <QByteArray>
#include <QColor>
#include <QString>

struct WrittenPicture {
    int width = 0;
    int height = 0;
    int bpp = 0;
    int dotsPerMetreX = 0;
    int dotsPerMetreY = 0;
    FREE_IMAGE_FORMAT format = FIF_UNKNOWN;
};
WrittenPicture ReadBack(const QString& path);

// The JFIF density of a JPEG file (units 1: dots per inch); {-1, -1} when absent.
struct Density {
    int units = -1;
    int x = -1;
    int y = -1;
};
Density JfifDensity(const QByteArray& jpeg);

// The colour of a pixel of a written file, the row counted from the top.
QColor PixelOfFile(const QString& path, int x, int y);

// Where two bitmaps differ in size, depth, resolution or pixels (the first
// differing byte); empty when they are the same.
QString BitmapDifference(FIBITMAP* a, FIBITMAP* b);
