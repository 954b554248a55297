#pragma once
// JPEG files of every kind a scanner or camera writes, encoded with
// libjpeg directly so that each coding choice is set on purpose.

#include <QByteArray>
#include <QImage>
#include <QString>

struct JpegKind {
    int hSamp = 2, vSamp = 2; // luma sampling factors (chroma 1 x 1)
    bool grey = false;
    bool progressive = false;
    bool arithmetic = false;
    int restartRows = 0;
    bool rgb = false;  // stored as RGB, not YCbCr
    bool cmyk = false; // Adobe CMYK
};

// A picture whose every pixel differs from its neighbours (seeded noise
// over gradients), so that a pixel out of place changes the files.
QImage DetailedPicture(int width, int height, quint32 seed);

QByteArray EncodeJpeg(const QImage& picture, const JpegKind& kind, int quality = 90);

bool WriteJpeg(const QString& path, const QImage& picture, const JpegKind& kind);
