#pragma once
// The photo check's own view of what is background and where the head ends:
// a colour model of the wall fitted on the photo's border, the pixels that
// belong to the person (joined to the face), the wall's uniformity and the
// crown. It knows nothing of how the photo was framed.

#include <opencv2/core.hpp>

#include <QPointF>

#include <array>
#include <optional>
#include <vector>

namespace CheckBackground {

// The wall's colour as a plane over the photo (a gradient across a smooth
// wall is part of the model, so that the mask still finds the head), and
// how far the border's wall pixels stray from it.
struct Model {
    std::array<std::array<double, 3>, 3> plane{}; // per channel: c + a*x/W + b*y/H
    double spread = 0;    // robust deviation of the wall's pixels, RGB distance
    double threshold = 0; // farther than this from the model is not wall
    double patchSpread = 0; // how far a patch of wall strays from the plane
    int width = 0, height = 0;
    double at(int channel, int x, int y) const;
};

// Fitted on the top rows and on both sides down to sidesDownTo (the chin:
// below it shoulders reach the sides). Hair that touches the corners is a
// minority of those pixels and is left out by the robust fit.
Model FitModel(const cv::Mat& rgb, int sidesDownTo);

// 255 where a pixel is farther from the wall's model than its threshold.
cv::Mat NotWall(const cv::Mat& rgb, const Model& model);

// The parts of notWall joined to the seed (the face), with the seed: hair,
// face, neck and shoulders, not an object standing apart on the wall.
cv::Mat Person(const cv::Mat& notWall, const cv::Mat& seed);

// Standard deviation of the grey level over the pixels that are not the
// person, kept a margin away from it (where hair thins into the wall);
// nothing when the wall shows too little.
std::optional<double> Uniformity(const cv::Mat& grey, const cv::Mat& person);

// The head's axis and width above the brows, in photo pixels.
struct HeadColumns {
    QPointF through; // a point of the axis (between the eyes)
    double slope = 0; // x change per row going up (from the roll)
    double halfWidth = 0;
    double top = 0; // the highest row the seed already counts as head
    double axisAt(double y) const { return through.x() + slope * (through.y() - y); }
};

struct Crown {
    double row = 0;
    bool atTop = false; // the head goes on beyond the photo's top edge
};

// The topmost row of the person within the head's columns, walking up from
// the seed's top with small gaps allowed.
Crown FindCrown(const cv::Mat& person, const HeadColumns& head);

// True when the person fills the row just under the crown far beyond the
// head's columns as well: the wall's model failed there (a second
// background, the paper around a photo), and the crown found means nothing.
bool CrownRowIsWall(const cv::Mat& person, const HeadColumns& head, int crownRow);

// The person reaching the top edge above the head, where the top rows over
// the head are of the colour of the wall beside it there: a wall of two
// tones, or shaded, that the plane does not follow. The crown is then where
// the head's middle first stands apart from those rows, going down; found
// as it was otherwise.
Crown WallAboveHead(const cv::Mat& rgb, const Model& model, const HeadColumns& head, Crown found);

// Hair of nearly the wall's colour (dark hair on a dark wall) escapes the
// pixel mask; averaged across the head's middle it still stands apart. The
// crown goes on up while those averages differ from the wall.
Crown ExtendCrown(const cv::Mat& rgb, const Model& model, const HeadColumns& head, Crown found);

// The pixel mask ends where a head's edge first stands out of the wall's
// grain, which on a soft or enlarged photo is well outside the edge, and
// farther where the edge is brighter (a bald head's shine). The crown is
// moved down to the highest row where a strip of the head's columns is
// halfway from the wall to the head below it, at most depth rows.
Crown HalfwayCrown(const cv::Mat& rgb, const Model& model, const HeadColumns& head, Crown found, double depth);

// Where the crown of a head cut by the photo's top edge lies above it (a
// negative row), from the outline of the hair seen below the edge: the top
// of a head is close to half an ellipse, whose widest row and width, with
// the chord the edge cuts, give its height. Nothing when the outline cannot
// be followed: the edge cuts the head at its widest, or the person runs into
// the wall far beyond any head.
std::optional<double> CrownAboveTop(const cv::Mat& person, const HeadColumns& head, int lowestRow);

} // namespace CheckBackground
