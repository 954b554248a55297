#pragma once
// Turning what a window shows into a picture, and writing such a picture as
// a Windows bitmap file.

#include <QImage>
#include <QString>

class QWidget;

namespace modBitBlt {

// A width x height copy of what source shows, taken from its point x, y:
// the window and its children drawn as they are on screen. Parts of the
// block outside the window are black.
QImage CopyDcToPicture(QWidget& source, int x, int y, int width, int height);

// Writes the picture at path as a 24-bit Windows bitmap. The file is
// written whole or not at all: a temporary file beside path is renamed over
// it only once complete, so a failure leaves an existing file as it was.
bool SaveBitmapFile(const QImage& picture, const QString& path);

} // namespace modBitBlt
