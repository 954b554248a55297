#pragma once
// dlib's shape predictor (a cascade of regression-tree forests) laid out
// flat, so that it can be used straight from a mapped cache file, and its
// evaluation. The evaluation repeats dlib's arithmetic step by step with
// dlib's own transforms, so it picks the same leaves; unlike dlib it keeps
// the fraction of the final points instead of rounding them to pixels.

#include "GreyPicture.h"

#include <QPointF>
#include <QtGlobal>

#include <dlib/geometry/rectangle.h>
#include <dlib/matrix.h>

#include <vector>

struct ShapeSplit {
    quint32 first, second; // feature pixels compared
    float threshold;
};

// The sizes of a model; every tree of every cascade has the same depth.
struct ShapeLayout {
    quint32 parts = 0;    // landmarks
    quint32 cascades = 0; // forests applied one after the other
    quint32 trees = 0;    // per forest
    quint32 splits = 0;   // per tree; leaves = splits + 1
    quint32 pixels = 0;   // feature pixels per forest

    quint64 initialFloats() const { return quint64(parts) * 2; }
    quint64 anchorCount() const { return quint64(cascades) * pixels; }
    quint64 deltaFloats() const { return anchorCount() * 2; }
    quint64 splitCount() const { return quint64(cascades) * trees * splits; }
    quint64 leafFloats() const { return quint64(cascades) * trees * (splits + 1) * parts * 2; }
    // The bytes of all arrays, in the order of ShapeModel's members.
    quint64 bytes() const;
    bool plausible() const;
};

class ShapeModel {
public:
    ShapeModel() = default;
    // The arrays start at data, one after the other, each 4-byte aligned;
    // they are not copied and must outlive the model.
    ShapeModel(const ShapeLayout& layout, const char* data);

    const ShapeLayout& layout() const { return sizes; }
    // False when an index of a split or of an anchor is out of range.
    bool consistent() const;

    // The landmarks of the face whose detector box is rect, in the view's
    // coordinates; leaves, when given, receives the leaf taken in every tree.
    std::vector<QPointF> landmarks(const GreyPicture::View& view, const dlib::rectangle& rect,
                                   std::vector<quint32>* leaves = nullptr) const;

private:
    ShapeLayout sizes;
    dlib::matrix<float, 0, 1> initial;
    const quint32* anchors = nullptr;
    const float* deltas = nullptr;
    const ShapeSplit* splits = nullptr;
    const float* leafValues = nullptr;
};
