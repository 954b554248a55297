#pragma once
// From a framed crop to the authority's bitmaps: the photo rescaled to
// 265 x 320 at 200 DPI, the signature fitted without distortion onto a white
// canvas at 600 or 200 DPI. Plain functions over FreeImage bitmaps, used by
// the editors' save buttons, the portal check and the command line alike.

#include <FreeImage.h>

#include <QImage>
#include <QSize>
#include <QString>

namespace OutputPipeline {

inline constexpr int PhotoWidth = 265;
inline constexpr int PhotoHeight = 320;
inline constexpr int PhotoDotsPerMetre = 7874; // 200 DPI

// The photo bitmap of a crop (null for an empty crop). The caller owns it.
FIBITMAP* MakePhoto(const QImage& crop);
// The same from the crop as a 24-bit bitmap, which stays the caller's.
FIBITMAP* MakePhotoBitmap(FIBITMAP* crop);

struct SignatureGeometry {
    int boxWidth, boxHeight;       // the signature is fitted into this box
    int canvasWidth, canvasHeight; // and centred on this white canvas
    int dotsPerMetre;
};
// 706 x 138 on 710 x 142 at 600 DPI, or 237 x 48 on 237 x 48 at 200 DPI.
SignatureGeometry SignatureGeometryFor(bool dpi200);

// The crop's size fitted into the box, keeping its proportions: ratios in
// single precision, quotients truncated, never beyond the box.
QSize FitSignature(int width, int height, const SignatureGeometry& geometry);

// Where the fitted signature goes on the canvas, halves to even.
QPoint SignaturePosition(QSize fitted, const SignatureGeometry& geometry);

// The signature canvas of a crop of width x height selection pixels
// (normally the crop's own size); fitted receives the fitted size. Null for
// an empty crop. The caller owns the result.
FIBITMAP* MakeSignature(const QImage& crop, int width, int height, const SignatureGeometry& geometry,
                        QSize* fitted = nullptr);
// The same from the crop as a 24-bit bitmap, which stays the caller's.
FIBITMAP* MakeSignatureBitmap(FIBITMAP* crop, int width, int height, const SignatureGeometry& geometry,
                              QSize* fitted = nullptr);

// The 1-bit black-and-white image of the canvas at threshold (clamped to
// 0..255); grey levels at or above it become white.
FIBITMAP* BlackAndWhite(FIBITMAP* canvas, int threshold);

// Writes the bitmaps whole or not at all: each goes to a temporary file in
// its target's folder and replaces the target only when every one of them
// has been written. False, with every target as it was, on failure.
struct FileToWrite {
    FREE_IMAGE_FORMAT format;
    FIBITMAP* bitmap;
    QString path;
};
bool WriteFiles(const QList<FileToWrite>& files);

} // namespace OutputPipeline
