#include "ShapeModel.h"

#include <dlib/image_processing/shape_predictor.h>

#include <cstring>

quint64 ShapeLayout::bytes() const
{
    return (initialFloats() + deltaFloats() + leafFloats()) * sizeof(float) + anchorCount() * sizeof(quint32)
           + splitCount() * sizeof(ShapeSplit);
}

bool ShapeLayout::plausible() const
{
    // Trees are complete binary trees, as dlib's evaluation assumes; the
    // bounds only keep a foreign header from asking for absurd sizes.
    const bool complete = splits > 0 && ((splits + 1) & splits) == 0;
    return complete && parts > 0 && parts <= 1000 && cascades > 0 && cascades <= 100 && trees > 0 && trees <= 10000
           && splits <= 1023 && pixels > 1 && pixels <= 100000;
}

ShapeModel::ShapeModel(const ShapeLayout& layout, const char* data)
    : sizes(layout)
{
    const float* initialValues = reinterpret_cast<const float*>(data);
    initial.set_size(long(layout.initialFloats()));
    for (long i = 0; i < initial.size(); ++i)
        initial(i) = initialValues[i];
    data += layout.initialFloats() * sizeof(float);
    anchors = reinterpret_cast<const quint32*>(data);
    data += layout.anchorCount() * sizeof(quint32);
    deltas = reinterpret_cast<const float*>(data);
    data += layout.deltaFloats() * sizeof(float);
    splits = reinterpret_cast<const ShapeSplit*>(data);
    data += layout.splitCount() * sizeof(ShapeSplit);
    leafValues = reinterpret_cast<const float*>(data);
}

bool ShapeModel::consistent() const
{
    for (quint64 i = 0; i < sizes.anchorCount(); ++i)
        if (anchors[i] >= sizes.parts)
            return false;
    for (quint64 i = 0; i < sizes.splitCount(); ++i)
        if (splits[i].first >= sizes.pixels || splits[i].second >= sizes.pixels)
            return false;
    return true;
}

std::vector<QPointF> ShapeModel::landmarks(const GreyPicture::View& view, const dlib::rectangle& rect,
                                           std::vector<quint32>* leaves) const
{
    // The same expressions and types as dlib's shape_predictor::operator()
    // and impl::extract_feature_pixel_values, so that every rounding of a
    // feature pixel's place, and so every leaf, comes out the same.
    dlib::matrix<float, 0, 1> current = initial;
    const dlib::point_transform_affine toPicture = dlib::impl::unnormalizing_tform(rect);
    const quint32 leafCount = sizes.splits + 1;
    const quint64 leafSize = quint64(sizes.parts) * 2;
    std::vector<float> values(sizes.pixels);
    if (leaves)
        leaves->clear();
    for (quint32 cascade = 0; cascade < sizes.cascades; ++cascade) {
        const dlib::matrix<float, 2, 2> tform =
            dlib::matrix_cast<float>(dlib::impl::find_tform_between_shapes(initial, current).get_m());
        const quint64 first = quint64(cascade) * sizes.pixels;
        for (quint32 i = 0; i < sizes.pixels; ++i) {
            const dlib::vector<float, 2> delta(deltas[2 * (first + i)], deltas[2 * (first + i) + 1]);
            const dlib::point p = toPicture(tform * delta + dlib::impl::location(current, anchors[first + i]));
            values[i] = view.contains(p.x(), p.y()) ? float(view.at(p.x(), p.y())) : 0.0f;
        }
        for (quint32 tree = 0; tree < sizes.trees; ++tree) {
            const quint64 index = quint64(cascade) * sizes.trees + tree;
            const ShapeSplit* node = splits + index * sizes.splits;
            quint32 at = 0;
            while (at < sizes.splits)
                at = values[node[at].first] - values[node[at].second] > node[at].threshold ? 2 * at + 1 : 2 * at + 2;
            at -= sizes.splits;
            const float* leaf = leafValues + (index * leafCount + at) * leafSize;
            for (long k = 0; k < current.size(); ++k)
                current(k) += leaf[k];
            if (leaves)
                leaves->push_back(at);
        }
    }
    std::vector<QPointF> points(sizes.parts);
    for (quint32 i = 0; i < sizes.parts; ++i) {
        const dlib::vector<double, 2> p = toPicture(dlib::impl::location(current, i));
        points[i] = QPointF(p.x(), p.y());
    }
    return points;
}
