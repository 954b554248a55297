#pragma once
// The offline check of a finished photo (265 x 320, or any photo file): the
// geometry of the head against the composition of passport portraits, the
// background, the exposure and the sharpness, each value with the range it
// should lie in. It advises the operator; nothing is refused by it.

#include "Cascades.h"

#include <QImage>
#include <QList>
#include <QString>

namespace PhotoCheck {

enum class Item {
    HeadHeight, // chin to crown, % of the photo's height
    EyeLine,    // % of the height, from the bottom
    Centring,   // the face's middle off the photo's middle, % of the width
    Background, // standard deviation of the grey level in the top corners
    Brightness, // mean grey level of the face
    Clipped,    // % of the face's pixels black or white beyond detail
    Sharpness,  // variance of the Laplacian of the face
};

struct Value {
    Item item;
    bool measured = false; // false when the face needed for it was not found
    double value = 0;
    double low = 0;
    double high = 0;
    bool pass() const { return measured && value >= low && value <= high; }
};

struct Report {
    bool faceFound = false;
    bool cascadesMissing = false;
    QList<Value> values;
    bool allPass() const;
};

Report Check(const QImage& photo, Cascades& cascades = Cascades::Default());

// Italian texts for the operator.
QString NameOf(Item item);
QString ValueText(const Value& value); // "74 %", "—" when not measured
QString RangeText(const Value& value); // "70–80 %"
// Why some values are missing, short enough for the editor's panel; or
// empty.
QString Note(const Report& report);
// The whole check as lines of text, one value to a line, for a terminal.
QString PlainText(const Report& report);

} // namespace PhotoCheck
