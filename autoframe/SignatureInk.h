#pragma once
// The ink of a picture prepared for the signature finder: a grid of blocks
// of pixels (a block is ink when any of its pixels is), turned upright by
// the page's own tilt, long thin straight printed lines taken out, and the
// rest cut into connected parts, each told apart as a speck, a stroke, a
// part of a picture (a photo glued on the form) or a sliver of a line.

#include "SignatureFinder.h"

#include <opencv2/core.hpp>

#include <QImage>

#include <vector>

namespace SignatureInk {

enum class Kind { Speck, Stroke, Picture, Line };

// The thickest printed line taken out, in blocks.
inline constexpr int LineThickness = 4;

struct Blob {
    cv::Rect box; // in the upright grid
    int area = 0; // blocks of ink
    Kind kind = Kind::Stroke;
    int label = 0;       // in Analysis::parts, or in Analysis::lineParts for a Line
    bool printedLine = false; // one of the long straight lines taken out
};

struct Analysis {
    int block = 1;        // pixels to a block, across and down
    double degrees = 0;   // the page's tilt, undone in the upright grid
    cv::Mat toUpright;    // 2 x 3, from the block grid to the upright grid
    cv::Size grid;        // the block grid
    cv::Mat parts;        // labels of the upright grid without the lines
    cv::Mat lineParts;    // labels of the lines taken out
    std::vector<Blob> blobs;
};

// The picture in a format read directly (grey, or 32-bit colour); others
// are converted once here and the copy handed to both calls below.
QImage Usable(const QImage& picture);

Analysis Analyse(const QImage& picture, int threshold);

// The ink of the chosen blobs measured on the picture's own pixels, and the
// selection around it.
SignatureFinder::Found Locate(const QImage& picture, int threshold, const Analysis& analysis,
                              const std::vector<int>& chosen);

// The middle value, 0 for none; the values are reordered.
int Median(std::vector<int>& values);

} // namespace SignatureInk
