#pragma once
// Synthetic A4 scans at 300 DPI for measuring the automatic framing: the
// public-domain astronaut portrait glued on a form at a chosen place, size
// and tilt, and signature pages drawn with strokes, specks and a printed
// box; each with noise and JPEG compression, and with what a correct
// framing must hold.

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QString>

namespace SamplePages {

inline constexpr int PageWidth = 2480;
inline constexpr int PageHeight = 3508;

// astronaut.png taken out of Debian's python3-skimage package, downloaded
// with apt-get into cacheFolder on first use; empty when that is not
// possible (no network, no apt-get), *why says what failed.
QString AstronautPath(const QString& cacheFolder, QString* why = nullptr);

struct Placement {
    QPoint at;       // top-left of the portrait on the page
    int width = 472; // of the portrait on the page
    double degrees = 0;
    int noise = 4;  // amplitude of the grain, grey levels
    int quality = 80;
};

struct FacePage {
    QImage page;
    // Where the astronaut's crown, chin and eyes (their middle) end up.
    QPointF crown, chin, eyes;
};
FacePage MakeFacePage(const QImage& astronaut, const Placement& placement);

// The share of the photo's height from the selection's bottom to the eye
// line, and of chin to crown, both in %.
struct Framed {
    double eyeLine;
    double headHeight;
};
Framed Measure(const FacePage& page, const QRect& selection);

struct SignaturePage {
    QImage page;
    QRect ink;       // every pixel of the signature that is ink at 170
    QRect boxInside; // the inside of the printed box, its lines excluded
};
// Page number seed: strokes, specks, box and text placed from it.
SignaturePage MakeSignaturePage(unsigned seed);

// The page as a scanner gives it: grain of up to noise grey levels either
// way (drawn from seed), then a JPEG of the quality.
QImage Scanned(QImage page, int noise, int quality, quint32 seed);

} // namespace SamplePages
