#include "CheckBackground.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <utility>

namespace CheckBackground {

namespace {

// A wall never needs a tighter threshold than this: JPEG at quality 75 and
// a scanner's grain move a smoothed pixel by up to about ten levels.
constexpr double MinThreshold = 16;
// Wall pixels lie within this many robust deviations of the model.
constexpr double Deviations = 3.5;
// A row's middle, averaged, is hair rather than wall when its colour is this
// far from the wall's plane, or this many times the wall's own patches.
constexpr double RowThreshold = 12;
constexpr double RowDeviations = 2.5;

// Border pixels are sampled in short runs (segments) along the top and
// down both sides; the wall is found as the plane most segments agree on.
constexpr int TopSegments = 8;
// Two segments' colours count as one wall within this RGB distance of the
// plane through them: a mottled backdrop varies by about that much.
constexpr double SegmentTolerance = 24;

// Hair reaches at most this many head half-widths (a third of the jaw's
// span each) from the head's axis; a wider outline has run into the wall.
constexpr double HairWithin = 2.6;
// The edge cuts the head at its widest when its chord is this share of the
// widest row: the crown's height can no longer be told.
constexpr double ChordAtMost = 0.97;

struct Sample {
    double x, y; // -0.5..0.5 across the photo
    std::array<double, 3> c;
    int segment;
    int weight = 1; // pixels a segment's median stands for
};

std::vector<Sample> BorderSamples(const cv::Mat& rgb, int sidesDownTo, int* segments)
{
    const int w = rgb.cols, h = rgb.rows;
    const int topRows = std::max(2, h * 3 / 100);
    const int sideCols = std::max(2, w * 4 / 100);
    const int sideRun = std::max(8, h / 8);
    const int step = std::max(1, std::min(w, h) / 120);
    std::vector<Sample> samples;
    auto take = [&](int x, int y, int segment) {
        const cv::Vec3b& p = rgb.at<cv::Vec3b>(y, x);
        samples.push_back({(x + 0.5) / w - 0.5, (y + 0.5) / h - 0.5, {double(p[0]), double(p[1]), double(p[2])}, segment});
    };
    for (int y = 0; y < topRows; y += step)
        for (int x = 0; x < w; x += step)
            take(x, y, x * TopSegments / w);
    const int down = std::clamp(sidesDownTo, topRows, h);
    for (int y = topRows; y < down; y += step)
        for (int x = 0; x < sideCols; x += step) {
            const int run = (y - topRows) / sideRun;
            take(x, y, TopSegments + 2 * run);
            take(w - 1 - x, y, TopSegments + 2 * run + 1);
        }
    *segments = TopSegments + 2 * ((down - topRows) / sideRun + 1);
    return samples;
}

// Each segment's median colour, at its samples' mean place.
std::vector<Sample> Segments(const std::vector<Sample>& samples, int count)
{
    std::vector<std::vector<const Sample*>> runs(static_cast<size_t>(count));
    for (const Sample& s : samples)
        runs[size_t(s.segment)].push_back(&s);
    std::vector<Sample> out;
    for (auto& run : runs) {
        if (run.size() < 4)
            continue;
        // The top shows the wall in more photos than the sides, where long
        // hair and shoulders come down: its segments weigh more.
        const int weight = run.front()->segment < TopSegments ? 3 : 1;
        Sample m{0, 0, {}, 0, int(run.size()) * weight};
        for (const Sample* s : run) {
            m.x += s->x / double(run.size());
            m.y += s->y / double(run.size());
        }
        for (size_t c = 0; c < 3; ++c) {
            std::vector<double> v;
            for (const Sample* s : run)
                v.push_back(s->c[c]);
            std::nth_element(v.begin(), v.begin() + std::ptrdiff_t(v.size() / 2), v.end());
            m.c[c] = v[v.size() / 2];
        }
        out.push_back(m);
    }
    return out;
}

double Distance(const Model& m, const Sample& s)
{
    double d = 0;
    for (size_t c = 0; c < 3; ++c) {
        const double e = s.c[c] - (m.plane[c][0] + m.plane[c][1] * s.x + m.plane[c][2] * s.y);
        d += e * e;
    }
    return std::sqrt(d);
}

// Least squares of the plane on the inliers; the slopes are held back a
// little so that a border seen on one side only does not tilt the plane.
void FitPlane(Model& m, const std::vector<Sample>& samples, const std::vector<char>& inlier)
{
    cv::Matx33d a = cv::Matx33d::zeros();
    cv::Matx<double, 3, 3> b = cv::Matx<double, 3, 3>::zeros(); // rows: terms, cols: channels
    int n = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (!inlier[i])
            continue;
        const Sample& s = samples[i];
        const double t[3] = {1.0, s.x, s.y};
        const int weight = s.weight;
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c)
                a(r, c) += weight * t[r] * t[c];
            for (int ch = 0; ch < 3; ++ch)
                b(r, ch) += weight * t[r] * s.c[size_t(ch)];
        }
        n += weight;
    }
    a(1, 1) += 0.02 * n;
    a(2, 2) += 0.02 * n;
    const cv::Matx33d solved = a.solve(b, cv::DECOMP_CHOLESKY);
    for (int ch = 0; ch < 3; ++ch)
        for (int r = 0; r < 3; ++r)
            m.plane[size_t(ch)][size_t(r)] = solved(r, ch);
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    auto mid = v.begin() + std::ptrdiff_t(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

// The plane through three segments (or fewer) that the most border pixels
// agree with: a wall shaded from one side to the other is still one wall,
// hair over a corner or two is left out.
Model Consensus(const std::vector<Sample>& segments)
{
    Model best;
    double bestAgree = -1, bestResidual = 0;
    const size_t n = segments.size();
    std::vector<Sample> picked;
    auto consider = [&](std::initializer_list<size_t> picks) {
        picked.clear();
        for (size_t i : picks)
            picked.push_back(segments[i]);
        Model m;
        FitPlane(m, picked, std::vector<char>(picked.size(), 1));
        double agree = 0, residual = 0;
        for (const Sample& s : segments) {
            const double d = Distance(m, s);
            if (d < SegmentTolerance) {
                agree += s.weight;
                residual += d * s.weight;
            }
        }
        if (agree > bestAgree || (agree == bestAgree && residual < bestResidual)) {
            best = m;
            bestAgree = agree;
            bestResidual = residual;
        }
    };
    for (size_t i = 0; i < n; ++i) {
        consider({i});
        for (size_t j = i + 1; j < n; ++j)
            for (size_t k = j + 1; k < n; ++k)
                consider({i, j, k});
    }
    return best;
}

// How far the average colour of row y from column from to column to lies
// from the wall's plane there: a band's average evens out a textured wall.
double AverageFromWall(const cv::Mat& rgb, const Model& model, int y, int from, int to)
{
    double d[3] = {0, 0, 0};
    const cv::Vec3b* p = rgb.ptr<cv::Vec3b>(y);
    for (int x = from; x <= to; ++x)
        for (int c = 0; c < 3; ++c)
            d[c] += p[x][c] - model.at(c, x, y);
    const double n = std::max(1, to - from + 1);
    return std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]) / n;
}

// The columns within half of the head's axis on row y, inside the picture.
std::pair<int, int> AroundAxis(const HeadColumns& head, int y, double half, int cols)
{
    const double cx = head.axisAt(y);
    return {std::max(0, int(std::lround(cx - half))), std::min(cols - 1, int(std::lround(cx + half)))};
}

} // namespace

double Model::at(int channel, int x, int y) const
{
    const auto& p = plane[size_t(channel)];
    return p[0] + p[1] * ((x + 0.5) / width - 0.5) + p[2] * ((y + 0.5) / height - 0.5);
}

Model FitModel(const cv::Mat& rgb, int sidesDownTo)
{
    int count = 0;
    const std::vector<Sample> samples = BorderSamples(rgb, sidesDownTo, &count);
    const std::vector<Sample> segments = Segments(samples, count);
    Model m = Consensus(segments);
    m.width = rgb.cols;
    m.height = rgb.rows;
    std::vector<char> inlier(samples.size());
    double limit = 2 * SegmentTolerance;
    for (int round = 0; round < 3; ++round) {
        int kept = 0;
        for (size_t i = 0; i < samples.size(); ++i) {
            inlier[i] = Distance(m, samples[i]) < limit;
            kept += inlier[i];
        }
        if (kept < 8)
            break;
        FitPlane(m, samples, inlier);
        std::vector<double> near;
        for (size_t i = 0; i < samples.size(); ++i)
            if (inlier[i])
                near.push_back(Distance(m, samples[i]));
        // The median distance of three channels' noise is about 1.5 of one
        // channel's deviation.
        m.spread = Median(near) / 1.5;
        limit = std::max(Deviations * m.spread * 1.5, MinThreshold);
    }
    m.threshold = limit;
    std::vector<double> patches;
    for (const Sample& s : segments)
        if (const double d = Distance(m, s); d < SegmentTolerance)
            patches.push_back(d);
    m.patchSpread = Median(patches);
    return m;
}

cv::Mat NotWall(const cv::Mat& rgb, const Model& model)
{
    cv::Mat out(rgb.size(), CV_8UC1);
    const float t2 = float(model.threshold * model.threshold);
    for (int y = 0; y < rgb.rows; ++y) {
        // The plane along a row: a start and a step per channel.
        float wall[3], step[3];
        for (int c = 0; c < 3; ++c) {
            wall[c] = float(model.at(c, 0, y));
            step[c] = float(model.plane[size_t(c)][1] / model.width);
        }
        const cv::Vec3b* p = rgb.ptr<cv::Vec3b>(y);
        uchar* o = out.ptr<uchar>(y);
        for (int x = 0; x < rgb.cols; ++x) {
            float d = 0;
            for (int c = 0; c < 3; ++c) {
                const float e = float(p[x][c]) - std::clamp(wall[c], 0.0f, 255.0f);
                d += e * e;
                wall[c] += step[c];
            }
            o[x] = d > t2 ? 255 : 0;
        }
    }
    return out;
}

cv::Mat Person(const cv::Mat& notWall, const cv::Mat& seed)
{
    cv::Mat joined;
    cv::morphologyEx(notWall, joined, cv::MORPH_CLOSE, cv::getStructuringElement(cv::MORPH_RECT, {3, 3}));
    joined |= seed;
    cv::Mat labels;
    const int n = cv::connectedComponents(joined, labels, 8, CV_32S);
    std::vector<uchar> keep(size_t(n), 0);
    for (int y = 0; y < seed.rows; ++y) {
        const uchar* s = seed.ptr<uchar>(y);
        const int* l = labels.ptr<int>(y);
        for (int x = 0; x < seed.cols; ++x)
            if (s[x])
                keep[size_t(l[x])] = 255;
    }
    keep[0] = 0;
    cv::Mat person(seed.size(), CV_8UC1);
    for (int y = 0; y < seed.rows; ++y) {
        const int* l = labels.ptr<int>(y);
        uchar* p = person.ptr<uchar>(y);
        for (int x = 0; x < seed.cols; ++x)
            p[x] = keep[size_t(l[x])];
    }
    return person;
}

std::optional<double> Uniformity(const cv::Mat& grey, const cv::Mat& person)
{
    const int margin = std::max(2, grey.cols / 50);
    cv::Mat near;
    cv::dilate(person, near, cv::getStructuringElement(cv::MORPH_RECT, {2 * margin + 1, 2 * margin + 1}));
    const cv::Mat wall = near == 0;
    if (cv::countNonZero(wall) < int(grey.total() / 50))
        return std::nullopt;
    cv::Scalar mean, deviation;
    cv::meanStdDev(grey, mean, deviation, wall);
    return deviation[0];
}

Crown FindCrown(const cv::Mat& person, const HeadColumns& head)
{
    const int w = person.cols;
    const int maxGap = std::max(2, person.rows / 50);
    const int start = std::clamp(int(std::floor(head.top)), 0, person.rows - 1);
    int last = start, gap = 0;
    for (int y = start; y >= 0 && gap <= maxGap; --y) {
        const double cx = head.axisAt(y);
        const int from = std::max(0, int(std::lround(cx - head.halfWidth)));
        const int to = std::min(w - 1, int(std::lround(cx + head.halfWidth)));
        const int needed = std::max(2, int(0.05 * (2 * head.halfWidth + 1)));
        const uchar* p = person.ptr<uchar>(y);
        int count = 0;
        for (int x = from; x <= to; ++x)
            count += p[x] != 0;
        if (count >= needed) {
            last = y;
            gap = 0;
        } else {
            ++gap;
        }
    }
    return {double(last), last == 0};
}

Crown WallAboveHead(const cv::Mat& rgb, const Model& model, const HeadColumns& head, Crown found)
{
    if (!found.atTop)
        return found;
    const int rows = std::max(2, rgb.rows / 80);
    // Mean colour of rows y0 up to y1 (not included), columns from to to.
    const auto mean = [&](int y0, int y1, int from, int to) {
        cv::Scalar m = cv::mean(rgb(cv::Range(y0, y1), cv::Range(from, to + 1)));
        return cv::Vec3d(m[0], m[1], m[2]);
    };
    const double cx = head.axisAt(0);
    const double half = std::max(2.0, head.halfWidth / 2);
    const auto [from, to] = AroundAxis(head, 0, half, rgb.cols);
    if (to - from < 2)
        return found;
    const cv::Vec3d over = mean(0, rows, from, to);
    const double threshold = std::max(RowThreshold, RowDeviations * model.patchSpread);
    // The wall beside the head at the top, on either side, clear of hair.
    bool wall = false;
    const int leftEnd = int(std::lround(cx - HairWithin * head.halfWidth));
    const int rightStart = int(std::lround(cx + HairWithin * head.halfWidth));
    const int side = std::max(2, rgb.cols / 20);
    if (leftEnd >= side)
        wall |= cv::norm(mean(0, rows, 0, leftEnd - 1) - over) < threshold;
    if (rgb.cols - rightStart >= side)
        wall |= cv::norm(mean(0, rows, rightStart, rgb.cols - 1) - over) < threshold;
    if (!wall)
        return found;
    // Down from the top while the head's middle keeps that colour; a few
    // rows apart from it in a row are the head.
    const int lowest = std::clamp(int(std::floor(head.top)), 0, rgb.rows - 1);
    int apart = 0;
    for (int y = rows; y <= lowest; ++y) {
        const auto [a, b] = AroundAxis(head, y, half, rgb.cols);
        if (cv::norm(mean(y, y + 1, a, b) - over) >= threshold) {
            if (++apart == rows)
                return {double(y - rows + 1), false};
        } else {
            apart = 0;
        }
    }
    return found;
}

Crown ExtendCrown(const cv::Mat& rgb, const Model& model, const HeadColumns& head, Crown found)
{
    if (found.atTop)
        return found;
    // A band this wide averages a textured wall down to its plane.
    const double half = std::max(2.0, head.halfWidth / 2);
    const double threshold = std::max(RowThreshold, RowDeviations * model.patchSpread);
    const int maxGap = std::max(2, rgb.rows / 50);
    int last = int(found.row), gap = 0;
    for (int y = int(found.row) - 1; y >= 0 && gap <= maxGap; --y) {
        const auto [from, to] = AroundAxis(head, y, half, rgb.cols);
        if (to - from < 2)
            break;
        if (AverageFromWall(rgb, model, y, from, to) > threshold) {
            last = y;
            gap = 0;
        } else {
            ++gap;
        }
    }
    return {double(last), last == 0};
}

Crown HalfwayCrown(const cv::Mat& rgb, const Model& model, const HeadColumns& head, Crown found, double depth)
{
    const int start = int(found.row);
    const int inside = start + int(std::lround(depth));
    if (found.atTop || depth < 2 || inside >= rgb.rows)
        return found;
    // In strips across the head's columns, each with its own halfway row:
    // the top of a head is not always on its axis (a parting, a bun).
    const double strip = std::max(3.0, head.halfWidth / 6);
    const auto fromWall = [&](double offset, int y) {
        const double cx = head.axisAt(y) + offset;
        return AverageFromWall(rgb, model, y, std::max(0, int(std::lround(cx - strip / 2))),
                               std::min(rgb.cols - 1, int(std::lround(cx + strip / 2))));
    };
    int top = -1;
    for (double offset = -head.halfWidth; offset <= head.halfWidth; offset += strip) {
        const double inHead = fromWall(offset, inside);
        const double wall = start > 0 ? fromWall(offset, start - 1) : 0;
        if (inHead < wall + RowThreshold)
            continue;
        for (int y = start; y < inside; ++y)
            if (fromWall(offset, y) >= (inHead + wall) / 2) {
                top = top < 0 ? y : std::min(top, y);
                break;
            }
    }
    return top < 0 ? found : Crown{double(top), false};
}

bool CrownRowIsWall(const cv::Mat& person, const HeadColumns& head, int crownRow)
{
    // Hair cut by the edge, or a crown, leaves wall beside it.
    const int y = std::clamp(crownRow + 2, 0, person.rows - 1);
    const double cx = head.axisAt(y);
    const uchar* p = person.ptr<uchar>(y);
    int outside = 0, count = 0;
    for (int x = 0; x < person.cols; ++x)
        if (std::abs(x - cx) > 1.2 * head.halfWidth) {
            ++outside;
            count += p[x] != 0;
        }
    return outside > 0 && count > 0.6 * outside;
}

std::optional<double> CrownAboveTop(const cv::Mat& person, const HeadColumns& head, int lowestRow)
{
    const int last = std::min(lowestRow, person.rows - 1);
    if (last < 4 || head.halfWidth < 2)
        return std::nullopt;
    const int maxGap = std::max(1, person.rows / 100);
    const int reach = int(std::ceil(HairWithin * head.halfWidth)) + maxGap + 1;
    // Half-width of the person around the axis on row y, gaps of a few
    // pixels bridged; -1 when it runs on past where hair can reach.
    const auto halfWidthAt = [&](int y) {
        const uchar* p = person.ptr<uchar>(y);
        const double cx = head.axisAt(y);
        const int centre = int(std::lround(cx));
        int side[2] = {0, 0};
        for (int dir = 0; dir < 2; ++dir) {
            const int step = dir == 0 ? -1 : 1;
            int gap = 0, extent = 0;
            for (int d = 0; d <= reach && gap <= maxGap; ++d) {
                const int x = centre + step * d;
                if (x < 0 || x >= person.cols)
                    break;
                if (p[x]) {
                    extent = d;
                    gap = 0;
                } else {
                    ++gap;
                }
            }
            side[dir] = extent;
        }
        const double half = (side[0] + side[1]) / 2.0;
        return half > HairWithin * head.halfWidth ? -1.0 : half;
    };
    double widest = 0;
    int widestRow = 0;
    for (int y = 0; y <= last; ++y) {
        const double w = halfWidthAt(y);
        if (w < 0)
            return std::nullopt;
        if (w > widest) {
            widest = w;
            widestRow = y;
        }
    }
    const double chord = std::max(halfWidthAt(0), halfWidthAt(std::min(1, last)));
    if (widest <= 0 || widestRow == 0 || chord >= ChordAtMost * widest)
        return std::nullopt;
    // (widestRow - crown) is the half-axis b; the edge at row 0 lies
    // widestRow above the widest row, where the half-width is chord.
    const double ratio = chord / widest;
    const double b = widestRow / std::sqrt(1 - ratio * ratio);
    return widestRow - b;
}

} // namespace CheckBackground
