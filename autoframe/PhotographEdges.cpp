#include "PhotographEdges.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace PhotographEdges {

namespace {

// Pages lie on the scanner within a few degrees.
constexpr double MaxDegrees = 3.5;
constexpr double DegreeStep = 0.5;
// Pixels averaged on each side of a possible edge.
constexpr int Window = 3;
// Rows (or columns) of a side read at this spacing.
constexpr int AlongStep = 2;
// An edge: a mean colour step (RGB distance) well above the grain's, in
// the same direction along most of the side, with paper beyond it: a band
// of Band pixels nearly all of the paper's colour.
constexpr double LeastStep = 4;
constexpr double StepOverGrain = 6;
constexpr double Agreeing = 0.7;
constexpr double SharpShare = 0.4;
constexpr int Band = 12;
constexpr int Border = 10;
constexpr double UniformShare = 0.75;
constexpr double LeastTolerance = 18;
// Sides of one photograph are square to each other.
constexpr double SidesAgree = 1.5;
// Pixels left out inside the edge found: its blur and the JPEG's ringing.
constexpr int Inset = 3;

enum Side { Left, Top, Right, Bottom };

struct Rgb {
    float r = 0, g = 0, b = 0;
};

float Norm(const Rgb& c)
{
    return std::sqrt(c.r * c.r + c.g * c.g + c.b * c.b);
}

Rgb Minus(const Rgb& a, const Rgb& b)
{
    return {a.r - b.r, a.g - b.g, a.b - b.b};
}

Rgb At(const QImage& rgb32, int x, int y)
{
    const QRgb c = reinterpret_cast<const QRgb*>(rgb32.constScanLine(y))[x];
    return {float(qRed(c)), float(qGreen(c)), float(qBlue(c))};
}

// The colour most of the picture has: on a form, its paper.
Rgb PaperColour(const QImage& rgb32)
{
    std::vector<int> bins(32 * 32 * 32, 0);
    const auto bin = [](const Rgb& c) { return (int(c.r) / 8) * 1024 + (int(c.g) / 8) * 32 + int(c.b) / 8; };
    for (int y = 0; y < rgb32.height(); y += 7)
        for (int x = 0; x < rgb32.width(); x += 7)
            ++bins[size_t(bin(At(rgb32, x, y)))];
    const int mode = int(std::max_element(bins.begin(), bins.end()) - bins.begin());
    return {(mode / 1024) * 8 + 4.0f, ((mode / 32) % 32) * 8 + 4.0f, (mode % 32) * 8 + 4.0f};
}

// One side of the picture seen from the face outward: row j of the strip
// runs away from the face, pixel i of it is i pixels out from `start`.
class Strip {
public:
    Strip(const QImage& rgb32, Side side, int start, int alongFrom, int alongTo);
    int rows() const { return rows_; }
    int length() const { return length_; }
    const Rgb& colour(int j, int i) const { return colours_[size_t(j) * size_t(length_) + size_t(i)]; }
    // The step from the inner to the outer window around pixel i, for
    // Window <= i < length - Window.
    const Rgb& step(int j, int i) const { return steps_[size_t(j) * size_t(length_) + size_t(i)]; }
    // The pixel shift of a line of slope t at row j.
    int shift(int j, double t) const { return int(std::lround(t * (j - rows_ / 2.0) * AlongStep)); }
    // The line i = out + t (along - middle) in picture coordinates: for a
    // left or right side x = a + b y, for a top or bottom side y = a + b x.
    std::pair<double, double> line(double out, double t) const;

private:
    Side side_;
    int start_, alongFrom_, rows_, length_;
    std::vector<Rgb> colours_;
    std::vector<Rgb> steps_;
};

Strip::Strip(const QImage& rgb32, Side side, int start, int alongFrom, int alongTo)
    : side_(side), start_(start), alongFrom_(alongFrom)
{
    rows_ = std::max(0, (alongTo - alongFrom) / AlongStep);
    const int outward = side == Left ? start + 1 : side == Top ? start + 1
                      : side == Right ? rgb32.width() - start : rgb32.height() - start;
    length_ = std::max(0, outward);
    colours_.resize(size_t(rows_) * size_t(length_));
    for (int j = 0; j < rows_; ++j) {
        const int along = alongFrom + j * AlongStep;
        for (int i = 0; i < length_; ++i) {
            Rgb& c = colours_[size_t(j) * size_t(length_) + size_t(i)];
            switch (side) {
            case Left: c = At(rgb32, start - i, along); break;
            case Right: c = At(rgb32, start + i, along); break;
            case Top: c = At(rgb32, along, start - i); break;
            case Bottom: c = At(rgb32, along, start + i); break;
            }
        }
    }
    steps_.resize(colours_.size());
    for (int j = 0; j < rows_; ++j)
        for (int i = Window; i + Window < length_; ++i) {
            Rgb inner, outer;
            for (int k = 1; k <= Window; ++k) {
                const Rgb& a = colour(j, i - k);
                const Rgb& b = colour(j, i + k);
                inner = {inner.r + a.r, inner.g + a.g, inner.b + a.b};
                outer = {outer.r + b.r, outer.g + b.g, outer.b + b.b};
            }
            steps_[size_t(j) * size_t(length_) + size_t(i)] =
                {(outer.r - inner.r) / Window, (outer.g - inner.g) / Window, (outer.b - inner.b) / Window};
        }
}

std::pair<double, double> Strip::line(double out, double t) const
{
    // Along coordinate of the strip's middle row, in picture pixels.
    const double middle = alongFrom_ + rows_ / 2.0 * AlongStep;
    const double sign = (side_ == Left || side_ == Top) ? -1 : 1;
    // position = start + sign (out + t (along - middle))
    const double b = sign * t;
    const double a = start_ + sign * out - b * middle;
    return {a, b};
}

struct Edge {
    int out = 0;
    double slope = 0;
};

// The spread of the grain: the median step in a sample of the strip.
double GrainOf(const Strip& strip)
{
    std::vector<float> steps;
    for (int j = 0; j < strip.rows(); j += 3)
        for (int i = Window; i + Window < strip.length(); i += 5)
            steps.push_back(Norm(strip.step(j, i)));
    if (steps.empty())
        return 0;
    std::nth_element(steps.begin(), steps.begin() + long(steps.size() / 2), steps.end());
    return steps[steps.size() / 2];
}

// The step is the photograph's edge all along the side: in the same
// direction on most rows (a plain background, even one close to the
// paper's colour), or clear on most rows whose inside is not of the
// paper's colour (a busy photograph, its content changing along the edge).
bool Agrees(const Strip& strip, const Edge& edge, const Rgb& mean, const Rgb& paper, double tolerance)
{
    const float size = Norm(mean);
    int agreeing = 0, counted = 0, coloured = 0, clear = 0;
    double steps = 0, contrast = 0;
    for (int j = 0; j < strip.rows(); ++j) {
        const int i = edge.out + strip.shift(j, edge.slope);
        if (i < Window || i + Window >= strip.length())
            continue;
        const Rgb s = strip.step(j, i);
        ++counted;
        agreeing += (s.r * mean.r + s.g * mean.g + s.b * mean.b) / size > 0.3f * size;
        const float inside = Norm(Minus(strip.colour(j, i - Window), paper));
        if (inside > tolerance) {
            ++coloured;
            clear += Norm(s) > 0.5 * tolerance;
        }
        steps += Norm(s);
        contrast += inside;
    }
    // The whole change from the inside to the paper happens at the edge;
    // a step much smaller than that is the ringing or the shading of the
    // photograph's content a few pixels inside its real edge.
    return counted > 0 && steps >= SharpShare * contrast
        && (agreeing >= Agreeing * counted || (coloured >= 0.3 * counted && clear >= Agreeing * coloured));
}

// Inside the edge is not paper: the median colour of a band there differs
// from the paper's, which the band between a photograph and a printed frame
// around it does not.
bool NotPaperWithin(const Strip& strip, const Edge& edge, const Rgb& paper)
{
    std::vector<float> channels[3];
    for (int j = 0; j < strip.rows(); ++j)
        for (int k = Window; k < Window + Band; ++k) {
            const int i = edge.out + strip.shift(j, edge.slope) - k;
            if (i < 0 || i >= strip.length())
                continue;
            const Rgb& c = strip.colour(j, i);
            channels[0].push_back(c.r);
            channels[1].push_back(c.g);
            channels[2].push_back(c.b);
        }
    if (channels[0].empty())
        return false;
    float median[3];
    for (int c = 0; c < 3; ++c) {
        auto middle = channels[c].begin() + long(channels[c].size() / 2);
        std::nth_element(channels[c].begin(), middle, channels[c].end());
        median[c] = *middle;
    }
    return Norm(Minus(Rgb{median[0], median[1], median[2]}, paper)) > LeastStep;
}

// Paper beyond the edge: a band nearly all of the paper's colour, right
// after it or after a thin border (the photograph's own white margin, the
// shadow of its cut edge, a printed frame close around it).
bool PaperBeyond(const Strip& strip, const Edge& edge, const Rgb& paper, double tolerance)
{
    for (int from = Window; from <= Window + Border; from += 2) {
        int near = 0, counted = 0;
        for (int j = 0; j < strip.rows(); ++j)
            for (int k = from; k < from + Band; ++k) {
                const int i = edge.out + strip.shift(j, edge.slope) + k;
                if (i < 0 || i >= strip.length())
                    continue;
                ++counted;
                near += Norm(Minus(strip.colour(j, i), paper)) <= tolerance;
            }
        if (counted > 0 && near >= UniformShare * counted)
            return true;
    }
    return false;
}

// The innermost straight edge with paper beyond it.
std::optional<Edge> EdgeOf(const Strip& strip, const Rgb& paper)
{
    if (strip.rows() < 8 || strip.length() < 2 * Window + 2)
        return std::nullopt;
    const double grain = GrainOf(strip);
    const double least = std::max(LeastStep, StepOverGrain * grain / std::sqrt(double(strip.rows())));
    const double tolerance = std::max(LeastTolerance, 3.0 * grain);
    const int slopes = int(2 * MaxDegrees / DegreeStep) + 1;
    std::vector<float> best(size_t(strip.length()), 0.0f);
    std::vector<int> bestSlope(size_t(strip.length()), 0);
    std::vector<Rgb> bestMean(size_t(strip.length()));
    std::vector<Rgb> sum(size_t(strip.length()));
    std::vector<int> count(size_t(strip.length()));
    for (int a = 0; a < slopes; ++a) {
        const double t = std::tan((-MaxDegrees + a * DegreeStep) * M_PI / 180.0);
        std::fill(sum.begin(), sum.end(), Rgb{});
        std::fill(count.begin(), count.end(), 0);
        for (int j = 0; j < strip.rows(); ++j) {
            const int s = strip.shift(j, t);
            for (int o = std::max(0, Window - s); o < strip.length() && o + s + Window < strip.length(); ++o) {
                const Rgb d = strip.step(j, o + s);
                sum[size_t(o)] = {sum[size_t(o)].r + d.r, sum[size_t(o)].g + d.g, sum[size_t(o)].b + d.b};
                ++count[size_t(o)];
            }
        }
        for (int o = 0; o < strip.length(); ++o) {
            if (count[size_t(o)] < strip.rows() * 8 / 10)
                continue;
            const float n = float(count[size_t(o)]);
            const Rgb mean{sum[size_t(o)].r / n, sum[size_t(o)].g / n, sum[size_t(o)].b / n};
            if (Norm(mean) > best[size_t(o)]) {
                best[size_t(o)] = Norm(mean);
                bestSlope[size_t(o)] = a;
                bestMean[size_t(o)] = mean;
            }
        }
    }
    for (int o = 0; o < strip.length(); ++o) {
        if (best[size_t(o)] < least)
            continue;
        // A stronger step next to this one in the other direction is a
        // printed line beside the edge, not a better place for it; a much
        // stronger one a little farther out in the same direction is the
        // edge whose blur and ringing this step is.
        bool peak = true;
        for (int k = std::max(0, o - Window); k <= std::min(strip.length() - 1, o + 2 * Window + Border); ++k) {
            const Rgb& a = bestMean[size_t(k)];
            const Rgb& b = bestMean[size_t(o)];
            const bool same = a.r * b.r + a.g * b.g + a.b * b.b > 0;
            if (k <= o + Window)
                peak &= best[size_t(k)] <= best[size_t(o)] || !same;
            else
                peak &= best[size_t(k)] <= 2 * best[size_t(o)] || !same;
        }
        if (!peak)
            continue;
        const Edge edge{o, std::tan((-MaxDegrees + bestSlope[size_t(o)] * DegreeStep) * M_PI / 180.0)};
        if (Agrees(strip, edge, bestMean[size_t(o)], paper, tolerance) && PaperBeyond(strip, edge, paper, tolerance)
            && NotPaperWithin(strip, edge, paper))
            return edge;
    }
    return std::nullopt;
}

// What the face tells of the photograph: it holds the brows, eyes, nose
// and mouth (the jaw and the chin may be cut off, and their landmarks are
// then guessed beyond the cut).
struct Span {
    int left, top, right, bottom;
};

Span InnerFace(const FaceLandmarks::Face& face, QSize size)
{
    double left = size.width(), right = 0, bottom = 0;
    for (int i = 17; i < FaceLandmarks::PointCount; ++i) {
        left = std::min(left, face.points[size_t(i)].x());
        right = std::max(right, face.points[size_t(i)].x());
        bottom = std::max(bottom, face.points[size_t(i)].y());
    }
    return {std::clamp(int(std::floor(left)) - 1, 0, size.width() - 1),
            std::clamp(int(std::floor(face.browTop())) - 1, 0, size.height() - 1),
            std::clamp(int(std::ceil(right)) + 1, 0, size.width() - 1),
            std::clamp(int(std::ceil(bottom)) + 1, 0, size.height() - 1)};
}

using Line = std::pair<double, double>; // x = a + b y, or y = a + b x

// The axis-aligned rectangle inside the sides found. A side not found is
// the picture's edge; the sides next to it are then taken as far as the
// face reaches, not tilted on to the picture's far edge.
QRect InnerRectangle(const std::array<std::optional<Line>, 4>& sides, const Span& face, QSize size)
{
    const auto corner = [&](int vertical, int horizontal) {
        const std::optional<Line>& v = sides[size_t(vertical)];
        const std::optional<Line>& h = sides[size_t(horizontal)];
        const double edgeX = vertical == Left ? 0 : size.width() - 1;
        const double edgeY = horizontal == Top ? 0 : size.height() - 1;
        if (v && h) {
            const double x = (v->first + v->second * h->first) / (1 - v->second * h->second);
            return QPointF(x, h->first + h->second * x);
        }
        if (v)
            return QPointF(v->first + v->second * (horizontal == Top ? face.top : face.bottom), edgeY);
        if (h)
            return QPointF(edgeX, h->first + h->second * (vertical == Left ? face.left : face.right));
        return QPointF(edgeX, edgeY);
    };
    const QPointF tl = corner(Left, Top), tr = corner(Right, Top), bl = corner(Left, Bottom), br = corner(Right, Bottom);
    const int x0 = int(std::ceil(std::max(tl.x(), bl.x())));
    const int x1 = int(std::floor(std::min(tr.x(), br.x())));
    const int y0 = int(std::ceil(std::max(tl.y(), tr.y())));
    const int y1 = int(std::floor(std::min(bl.y(), br.y())));
    return QRect(QPoint(x0, y0), QPoint(x1, y1)) & QRect(QPoint(0, 0), size);
}

} // namespace

Photograph Find(const QImage& picture, const FaceLandmarks::Face& face)
{
    Photograph found;
    found.inside = picture.rect();
    if (picture.isNull())
        return found;
    const QImage rgb32 = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
        ? picture : picture.convertToFormat(QImage::Format_RGB32);
    const Rgb paper = PaperColour(rgb32);
    const Span span = InnerFace(face, picture.size());
    const Strip strips[4] = {Strip(rgb32, Left, span.left, span.top, span.bottom),
                             Strip(rgb32, Top, span.top, span.left, span.right),
                             Strip(rgb32, Right, span.right, span.top, span.bottom),
                             Strip(rgb32, Bottom, span.bottom, span.left, span.right)};
    std::array<std::optional<Line>, 4> sides;
    std::array<double, 4> degrees{};
    std::vector<double> angles;
    for (int side = Left; side <= Bottom; ++side) {
        const std::optional<Edge> edge = EdgeOf(strips[side], paper);
        if (!edge)
            continue;
        sides[size_t(side)] = strips[side].line(edge->out - Inset, edge->slope);
        // Every side turned the same way: clockwise in picture coordinates.
        const double b = sides[size_t(side)]->second;
        degrees[size_t(side)] = std::atan(side == Left || side == Right ? -b : b) * 180.0 / M_PI;
        angles.push_back(degrees[size_t(side)]);
    }
    if (angles.size() < 3)
        return found;
    std::sort(angles.begin(), angles.end());
    const double median = angles[angles.size() / 2];
    for (size_t side = 0; side < 4; ++side)
        if (sides[side] && std::abs(degrees[side] - median) > SidesAgree)
            sides[side].reset();
    found.sidesFound = int(std::count_if(sides.begin(), sides.end(), [](const auto& s) { return s.has_value(); }));
    if (found.sidesFound < 3)
        return found;
    const QRect inside = InnerRectangle(sides, span, picture.size());
    if (inside.isEmpty())
        return found;
    found.inside = inside;
    found.onPage = true;
    found.degrees = median;
    return found;
}

} // namespace PhotographEdges
