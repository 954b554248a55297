#pragma once
// The offline check of a finished photo (265 x 320, or any photo file): the
// geometry of the head against the composition of passport portraits, the
// background, the exposure and the sharpness, each value with the range it
// should lie in. It measures the photo on its own (landmarks, and a crown
// found against the wall), never with the rules that framed it, so that it
// can disagree with the framing. It advises the operator; nothing is
// refused by it.

#include "FaceLandmarks.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

namespace PhotoCheck {

enum class Item {
    HeadHeight, // chin to crown, % of the photo's height
    EyeLine,    // % of the height, from the bottom
    Centring,   // the face's middle off the photo's middle, % of the width
    Roll,       // the eye line's angle, degrees
    Background, // standard deviation of the grey level of the wall
    Brightness, // median grey level of the cheeks and nose
    Clipped,    // % of that skin black or white beyond detail
    Sharpness,  // variance of the Laplacian of the face brought to one size
};

enum class Reading {
    Measured,
    AtLeast,   // the head goes on past the photo's top: value is a lower bound
    Estimated, // no crown found: value comes from the landmarks' proportions
};

struct Value {
    Item item;
    bool measured = false; // false when the face needed for it was not found
    double value = 0;
    double low = 0;
    double high = 0;
    Reading reading = Reading::Measured;
    // What the verdict weighs: the value, or for a lower bound the larger
    // of it and where the hair's outline puts the crown beyond the edge
    // (the landmarks' estimate when the outline cannot be followed).
    double judged = 0;
    bool pass() const { return measured && judged >= low && judged <= high; }
};

struct Report {
    bool faceFound = false;
    bool modelMissing = false; // the face could not be looked for
    bool turned = false;       // the face was found upside down
    int otherFaces = 0;        // faces besides the one measured
    QList<Value> values;
    bool allPass() const;
    const Value& operator[](Item item) const;
};

// Finds the largest frontal face of the photo, then CheckWithFace.
Report Check(const QImage& photo);

// The same measures for a face already known in the photo's coordinates (an
// editor maps the face it found once in the source picture): no detector
// runs, a few milliseconds on a 265 x 320 photo.
Report CheckWithFace(const QImage& photo, const FaceLandmarks::Face& faceInPhoto);

// The check of a photo cut from crop of a picture: with faceInPicture (the
// face found in that picture) carried into the photo when the crop holds its
// eyes, else by searching the photo.
Report CheckCut(const QImage& photo, const FaceLandmarks::Face* faceInPicture, const QRect& crop);

// Italian texts for the operator.
QString NameOf(Item item);
QString ValueText(const Value& value); // "74 %", "≥ 82 %", "—" when not measured
QString RangeText(const Value& value); // "70–80 %"
// What the operator should know besides the values (why some are missing,
// an estimate, other faces), one short line each.
QStringList Notes(const Report& report);
// The notes in one line, short enough for the editor's panel; or empty.
QString Note(const Report& report);
// The whole check as lines of text, one value to a line, for a terminal.
QString PlainText(const Report& report);

} // namespace PhotoCheck
