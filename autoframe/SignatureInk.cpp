#include "SignatureInk.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

namespace SignatureFinder {

namespace {

// Rec. 709 weights in 65536ths (0.2126, 0.7152, 0.0722), summing to 65536.
constexpr int WeightR = 13933;
constexpr int WeightG = 46871;
constexpr int WeightB = 4732;

} // namespace

// The black-and-white file rounds the grey level half up and makes black
// what lies below the threshold: floor(L + 0.5) < T, that is L + 0.5 < T.
bool IsInk(QRgb colour, int threshold)
{
    return WeightR * qRed(colour) + WeightG * qGreen(colour) + WeightB * qBlue(colour) + 32768 < threshold * 65536;
}

} // namespace SignatureFinder

namespace SignatureInk {

int Median(std::vector<int>& values)
{
    if (values.empty())
        return 0;
    std::nth_element(values.begin(), values.begin() + long(values.size() / 2), values.end());
    return values[values.size() / 2];
}

namespace {

// The least thickness a line keeps up over a few columns running, zero
// where it never does; a zero column breaks a run. A line of even width
// covers that many blocks or one more as it crosses them a little
// aslant; a column cut thinner by a stroke across it does not count.
int HeldThickness(const std::vector<int>& columns)
{
    int least = 0;
    for (size_t x = 0, held = 0; x < columns.size(); ++x) {
        held = columns[x] > 0 ? held + 1 : 0;
        if (held < size_t(LineThickness))
            continue;
        const int most = *std::max_element(columns.begin() + long(x + 1 - LineThickness), columns.begin() + long(x + 1));
        if (least == 0 || most < least)
            least = most;
    }
    return least;
}

// The block grid's longer side counts about this many blocks: two pixels
// to a block on an A4 page at 300 DPI, four at 600, one on a small photo.
constexpr double GridSide = 1750.0;
// Tilts looked for, in degrees either way.
constexpr double MostTilt = 3.5;
// Printed lines: straight runs this share of the grid's longer side at
// least, and at most LineThickness blocks thick.
constexpr double LineShare = 0.05;
// A picture is solid over this many blocks across at least, about 3 mm
// on a page: a straight stroke, however heavy, is narrower.
constexpr int PictureSide = 16;
// How far, in blocks, a line's middle may lie off the chord of its ends: no
// farther than the line's own greatest thickness. A printed rule on a page
// that lies flat is straight to a block or two, with a hand's underline
// drawn along it; a long flat swash bows by more.
constexpr double LineBow = LineThickness;
// Share of colour in ink's difference from the paper, in hundredths (see
// InkColour): a blue or red pen's is 0.4 to 0.8 (a ballpoint's blue on a
// scan is among the palest), black or grey print's at most 0.2, even on
// tinted paper.
constexpr int ShareBins = 201;
constexpr int ColouredShare = 35;
constexpr int GreyShare = 25;

bool InkAt(const uchar* line, int x, bool grey, int threshold)
{
    if (grey)
        return line[x] < threshold;
    return SignatureFinder::IsInk(reinterpret_cast<const QRgb*>(line)[x], threshold);
}

cv::Mat BlockInk(const QImage& picture, int threshold, int k)
{
    const int w = picture.width();
    const int h = picture.height();
    cv::Mat blocks = cv::Mat::zeros((h + k - 1) / k, (w + k - 1) / k, CV_8UC1);
    const bool grey = picture.format() == QImage::Format_Grayscale8;
    for (int y = 0; y < h; ++y) {
        uchar* out = blocks.ptr<uchar>(y / k);
        const uchar* line = picture.constScanLine(y);
        for (int x = 0; x < w; ++x)
            if (InkAt(line, x, grey, threshold))
                out[x / k] = 255;
    }
    return blocks;
}

// The tilt that lines the ink up in rows best: printed lines and lines of
// text both make the sum of squared row counts peak at the page's tilt.
double Tilt(const cv::Mat& ink)
{
    std::vector<cv::Point> points;
    cv::findNonZero(ink, points);
    if (points.size() < 50)
        return 0;
    const int stride = std::max<int>(1, int(points.size() / 150000));
    const int rows = ink.rows;
    const int spread = int(std::ceil(ink.cols * std::tan(MostTilt * CV_PI / 180))) + 2;
    std::vector<int> counts(size_t(rows + 2 * spread + 2));
    const auto score = [&](double degrees) {
        std::fill(counts.begin(), counts.end(), 0);
        const double slope = std::tan(degrees * CV_PI / 180);
        for (size_t i = 0; i < points.size(); i += size_t(stride)) {
            const int row = int(std::lround(points[i].y - points[i].x * slope)) + spread;
            if (row >= 0 && row < int(counts.size()))
                ++counts[size_t(row)];
        }
        double sum = 0;
        for (int c : counts)
            sum += double(c) * c;
        return sum;
    };
    double best = 0, bestScore = -1;
    for (double d = -MostTilt; d <= MostTilt + 1e-9; d += 0.25)
        if (const double s = score(d); s > bestScore)
            bestScore = s, best = d;
    const double coarse = best;
    for (double d = coarse - 0.2; d <= coarse + 0.2 + 1e-9; d += 0.05)
        if (const double s = score(d); s > bestScore)
            bestScore = s, best = d;
    return best;
}

// Long thin straight runs across and down the upright grid. Pieces of at
// least a short run are found first; pieces that join up, row to row, into
// something long and thin are a line, whatever fraction of a degree of
// tilt is left over.
cv::Mat StraightLines(const cv::Mat& upright)
{
    const int length = std::max(20, int(LineShare * std::max(upright.cols, upright.rows)));
    const int piece = std::max(8, length / 4);
    cv::Mat lines = cv::Mat::zeros(upright.size(), CV_8UC1);
    for (const bool across : {true, false}) {
        cv::Mat runs, thick;
        const cv::Size along = across ? cv::Size(piece, 1) : cv::Size(1, piece);
        const cv::Size through = across ? cv::Size(1, LineThickness + 1) : cv::Size(LineThickness + 1, 1);
        // A thin grey line breaks up at the threshold: small gaps are
        // bridged before the runs are measured.
        cv::Mat bridged;
        cv::dilate(upright, bridged, cv::getStructuringElement(cv::MORPH_RECT, across ? cv::Size(5, 1) : cv::Size(1, 5)));
        cv::morphologyEx(bridged, runs, cv::MORPH_OPEN, cv::getStructuringElement(cv::MORPH_RECT, along));
        // Dense areas (a photo, a line of text) also hold runs; only thin
        // ones are lines.
        cv::morphologyEx(runs, thick, cv::MORPH_OPEN, cv::getStructuringElement(cv::MORPH_RECT, through));
        runs.setTo(0, thick);
        // Where writing crosses a line the line is cut into pieces: pieces
        // in one row with short gaps between them are measured together.
        const cv::Mat joining = cv::getStructuringElement(cv::MORPH_RECT, across ? cv::Size(length, 1) : cv::Size(1, length));
        cv::Mat joined;
        cv::dilate(runs, joined, joining);
        cv::Mat labels, stats, centroids;
        int n = cv::connectedComponentsWithStats(joined, labels, stats, centroids, 8, CV_32S);
        // Heavy writing across a rule has flat strokes of its own beside
        // it, which join the rule's pieces into something too thick for a
        // line: of such a group only the row that holds most of its runs,
        // and the rows of a line's thickness about it, can be the line.
        const auto tooThick = [&](int i) {
            const int extent = stats.at<int>(i, across ? cv::CC_STAT_WIDTH : cv::CC_STAT_HEIGHT) - length + 1;
            return extent >= length
                && stats.at<int>(i, across ? cv::CC_STAT_HEIGHT : cv::CC_STAT_WIDTH) > LineThickness + 2 + extent / 40;
        };
        bool thinned = false;
        for (int i = 1; i < n; ++i) {
            if (!tooThick(i))
                continue;
            const cv::Rect box(stats.at<int>(i, cv::CC_STAT_LEFT), stats.at<int>(i, cv::CC_STAT_TOP),
                               stats.at<int>(i, cv::CC_STAT_WIDTH), stats.at<int>(i, cv::CC_STAT_HEIGHT));
            const cv::Mat own = (labels(box) == i) & runs(box);
            cv::Mat perRow;
            cv::reduce(own / 255, perRow, across ? 1 : 0, cv::REDUCE_SUM, CV_32S);
            cv::Point most;
            cv::minMaxLoc(perRow, nullptr, nullptr, nullptr, &most);
            const int main = across ? most.y : most.x;
            for (int y = 0; y < box.height; ++y)
                for (int x = 0; x < box.width; ++x)
                    if (own.at<uchar>(y, x) && std::abs((across ? y : x) - main) > LineThickness / 2 + 1) {
                        runs.at<uchar>(box.y + y, box.x + x) = 0;
                        thinned = true;
                    }
        }
        if (thinned) {
            cv::dilate(runs, joined, joining);
            n = cv::connectedComponentsWithStats(joined, labels, stats, centroids, 8, CV_32S);
        }
        // A printed line has paper on both sides but where writing crosses
        // it; the top or the foot of a line of print has letters all along.
        // Ink a few rows off the line, past its own thickness, either side.
        const int reach = 2 * LineThickness + 2;
        cv::Mat ring = cv::Mat::ones(across ? cv::Size(1, 2 * reach + 1) : cv::Size(2 * reach + 1, 1), CV_8UC1);
        for (int i = reach - LineThickness; i <= reach + LineThickness; ++i)
            ring.at<uchar>(across ? cv::Point(0, i) : cv::Point(i, 0)) = 0;
        cv::Mat near;
        cv::dilate(upright, near, ring);
        std::vector<int> own(size_t(n), 0), crowded(size_t(n), 0);
        for (int y = 0; y < runs.rows; ++y) {
            const uchar* r = runs.ptr<uchar>(y);
            const uchar* c = near.ptr<uchar>(y);
            const int* l = labels.ptr<int>(y);
            for (int x = 0; x < runs.cols; ++x)
                if (r[x]) {
                    ++own[size_t(l[x])];
                    crowded[size_t(l[x])] += c[x] != 0;
                }
        }
        // A rule the writing sits on is crowded where the writing is, but
        // runs on bare beyond it, which no line of print does.
        const cv::Mat bareRun = cv::getStructuringElement(cv::MORPH_RECT, across ? cv::Size(length, 1) : cv::Size(1, length));
        std::vector<uchar> line(size_t(n), 0);
        for (int i = 1; i < n; ++i) {
            if (stats.at<int>(i, across ? cv::CC_STAT_WIDTH : cv::CC_STAT_HEIGHT) - length + 1 < length || tooThick(i))
                continue;
            if (crowded[size_t(i)] * 2 < own[size_t(i)]) {
                line[size_t(i)] = 1;
                continue;
            }
            const cv::Rect box(stats.at<int>(i, cv::CC_STAT_LEFT), stats.at<int>(i, cv::CC_STAT_TOP),
                               stats.at<int>(i, cv::CC_STAT_WIDTH), stats.at<int>(i, cv::CC_STAT_HEIGHT));
            cv::Mat bare = runs(box) & ~near(box) & (labels(box) == i);
            cv::morphologyEx(bare, bare, cv::MORPH_OPEN, bareRun);
            line[size_t(i)] = cv::countNonZero(bare) > 0;
        }
        // A line is broken only where writing crosses it and between the
        // dashes of a dashed rule. A stretch of runs joined on at either
        // end across a longer gap, with ink close above or below along
        // most of it and gaps in its own ink, is the foot or the top of a
        // line of print lying in line with it (a label that a hand's
        // underline runs into), not more of the line: it is left out. The
        // rest of a solid rule, ink all along, is no print however crowded.
        for (int i = 1; i < n; ++i) {
            if (!line[size_t(i)])
                continue;
            const cv::Rect box(stats.at<int>(i, cv::CC_STAT_LEFT), stats.at<int>(i, cv::CC_STAT_TOP),
                               stats.at<int>(i, cv::CC_STAT_WIDTH), stats.at<int>(i, cv::CC_STAT_HEIGHT));
            const int span = across ? box.width : box.height;
            std::vector<int> ownAt(size_t(span), 0), crowdedAt(size_t(span), 0);
            std::vector<char> inkedAt(size_t(span), 0);
            for (int y = box.y; y < box.br().y; ++y)
                for (int x = box.x; x < box.br().x; ++x)
                    if (runs.at<uchar>(y, x) && labels.at<int>(y, x) == i) {
                        const size_t t = size_t(across ? x - box.x : y - box.y);
                        ++ownAt[t];
                        crowdedAt[t] += near.at<uchar>(y, x) != 0;
                        inkedAt[t] |= upright.at<uchar>(y, x) != 0;
                    }
            // Stretches of runs with gaps shorter than a piece between them.
            std::vector<std::pair<int, int>> stretches;
            for (int t = 0; t < span; ++t) {
                if (!ownAt[size_t(t)])
                    continue;
                if (stretches.empty() || t - stretches.back().second >= piece)
                    stretches.push_back({t, t + 1});
                else
                    stretches.back().second = t + 1;
            }
            const auto print = [&](const std::pair<int, int>& s) {
                int o = 0, c = 0, columns = 0, inked = 0;
                for (int t = s.first; t < s.second; ++t) {
                    o += ownAt[size_t(t)], c += crowdedAt[size_t(t)];
                    columns += ownAt[size_t(t)] > 0;
                    inked += inkedAt[size_t(t)];
                }
                return c * 2 >= o && inked * 10 < columns * 9;
            };
            const auto drop = [&](const std::pair<int, int>& s) {
                const cv::Rect part = across ? cv::Rect(box.x + s.first, box.y, s.second - s.first, box.height)
                                             : cv::Rect(box.x, box.y + s.first, box.width, s.second - s.first);
                runs(part).setTo(0, labels(part) == i);
            };
            size_t first = 0, last = stretches.size();
            while (last - first >= 2 && print(stretches[first]))
                drop(stretches[first++]);
            while (last - first >= 2 && print(stretches[last - 1]))
                drop(stretches[--last]);
        }
        // The line is the straight band its runs follow: strokes drawn
        // along it a little off (a loop touching the rule) were joined to
        // it but are no part of it. A straight line is fitted twice, the
        // second time to the runs near the first.
        struct Fit {
            double n = 0, u = 0, v = 0, uu = 0, uv = 0;
            double slope = 0, offset = 0;
            void solve()
            {
                const double d = n * uu - u * u;
                slope = d > 0 ? (n * uv - u * v) / d : 0;
                offset = n > 0 ? (v - slope * u) / n : 0;
            }
            double off(int along, int through) const { return std::abs(through - (slope * along + offset)); }
        };
        std::vector<cv::Point> onLines;
        cv::findNonZero(runs, onLines);
        std::erase_if(onLines, [&](const cv::Point& p) { return !line[size_t(labels.at<int>(p))]; });
        std::vector<Fit> fits(static_cast<size_t>(n));
        for (int pass = 0; pass < 2; ++pass) {
            std::vector<Fit> next(static_cast<size_t>(n));
            for (const cv::Point& p : onLines) {
                const size_t i = size_t(labels.at<int>(p));
                const int u = across ? p.x : p.y, v = across ? p.y : p.x;
                if (pass > 0 && fits[i].off(u, v) > 2 * LineThickness)
                    continue;
                Fit& f = next[i];
                f.n += 1, f.u += u, f.v += v, f.uu += double(u) * u, f.uv += double(u) * v;
            }
            for (Fit& f : next)
                f.solve();
            fits = next;
        }
        // A printed line is straight from end to end. A hand's swash drawn
        // long and flat is a shallow arc whose flat part has the runs of a
        // line: a parabola fitted to the runs shows how far its middle bows
        // off the chord of its ends, which for a line is less than the
        // line's own thickness.
        std::vector<int> lowest(static_cast<size_t>(n), INT_MAX), highest(static_cast<size_t>(n), INT_MIN);
        for (const cv::Point& p : onLines) {
            const size_t i = size_t(labels.at<int>(p));
            lowest[i] = std::min(lowest[i], across ? p.x : p.y);
            highest[i] = std::max(highest[i], across ? p.x : p.y);
        }
        // Sums of t^0..t^4 and v t^0..t^2, t running -1..1 along the line.
        std::vector<std::array<double, 8>> sums(static_cast<size_t>(n));
        for (const cv::Point& p : onLines) {
            const size_t i = size_t(labels.at<int>(p));
            const double half = std::max(1.0, (highest[i] - lowest[i]) / 2.0);
            const double t = ((across ? p.x : p.y) - (lowest[i] + half)) / half;
            const double v = across ? p.y : p.x;
            std::array<double, 8>& q = sums[i];
            q[0] += 1, q[1] += t, q[2] += t * t, q[3] += t * t * t, q[4] += t * t * t * t;
            q[5] += v, q[6] += t * v, q[7] += t * t * v;
        }
        std::vector<double> bow(static_cast<size_t>(n), 0.0);
        for (int i = 1; i < n; ++i) {
            const std::array<double, 8>& q = sums[size_t(i)];
            if (q[0] < 3)
                continue;
            // v = a + b t + c t^2: c is the middle's distance off the chord.
            const cv::Matx33d m(q[0], q[1], q[2], q[1], q[2], q[3], q[2], q[3], q[4]);
            cv::Vec3d solution;
            if (cv::solve(m, cv::Vec3d(q[5], q[6], q[7]), solution, cv::DECOMP_SVD))
                bow[size_t(i)] = std::abs(solution[2]);
        }
        cv::Mat keep = cv::Mat::zeros(runs.size(), CV_8UC1);
        for (const cv::Point& p : onLines) {
            const size_t i = size_t(labels.at<int>(p));
            if (bow[i] <= LineBow && fits[i].off(across ? p.x : p.y, across ? p.y : p.x) <= LineThickness)
                keep.at<uchar>(p) = 255;
        }
        // The rows next to a line, left by the tilt's last fraction of a
        // degree, go with it.
        cv::dilate(keep, keep, cv::getStructuringElement(cv::MORPH_RECT, across ? cv::Size(1, 3) : cv::Size(3, 1)));
        lines |= keep;
    }
    return lines & upright;
}

// Areas dense with ink over several cells: photos and pictures on the form.
cv::Mat DenseAreas(const cv::Mat& upright, int cell)
{
    cv::Mat share;
    cv::resize(upright, share, cv::Size(std::max(1, upright.cols / cell), std::max(1, upright.rows / cell)), 0, 0,
               cv::INTER_AREA);
    cv::Mat dense = share > 0.85 * 255;
    cv::Mat labels, stats, centroids;
    const int n = cv::connectedComponentsWithStats(dense, labels, stats, centroids, 8, CV_32S);
    cv::Mat keep = cv::Mat::zeros(dense.size(), CV_8UC1);
    for (int i = 1; i < n; ++i)
        if (stats.at<int>(i, cv::CC_STAT_AREA) >= 6)
            keep.setTo(255, labels == i);
    cv::dilate(keep, keep, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3)));
    cv::Mat full;
    cv::resize(keep, full, upright.size(), 0, 0, cv::INTER_NEAREST);
    return full;
}

void Classify(Analysis& a, const cv::Mat& stats, const cv::Mat& dense)
{
    const int n = stats.rows;
    cv::Mat denseSum;
    cv::integral(dense / 255, denseSum, CV_32S);
    for (int i = 1; i < n; ++i) {
        Blob b;
        b.label = i;
        b.box = cv::Rect(stats.at<int>(i, cv::CC_STAT_LEFT), stats.at<int>(i, cv::CC_STAT_TOP),
                         stats.at<int>(i, cv::CC_STAT_WIDTH), stats.at<int>(i, cv::CC_STAT_HEIGHT));
        b.area = stats.at<int>(i, cv::CC_STAT_AREA);
        const double fill = double(b.area) / std::max(1, b.box.area());
        const cv::Rect& r = b.box;
        const int denseBlocks = denseSum.at<int>(r.y + r.height, r.x + r.width) - denseSum.at<int>(r.y, r.x + r.width)
            - denseSum.at<int>(r.y + r.height, r.x) + denseSum.at<int>(r.y, r.x);
        if (b.area <= 2)
            b.kind = Kind::Speck;
        else if ((b.area >= 400 && fill >= 0.65 && std::min(r.width, r.height) >= PictureSide) || denseBlocks * 10 >= r.area() * 3)
            b.kind = Kind::Picture;
        else if (std::min(r.width, r.height) <= LineThickness && std::max(r.width, r.height) >= 10 * std::min(r.width, r.height))
            b.kind = Kind::Line;
        a.blobs.push_back(b);
    }
}

// A long thin tail on either side of the writing is what is left of a
// printed rule the writing sits on; an underline drawn by hand overshoots
// the name by far less.
void TrimTails(const Analysis& a, cv::Mat& mask)
{
    const cv::Rect box = cv::boundingRect(mask);
    if (box.empty())
        return;
    // The rows of the printed lines that run through the writing: a tail
    // in one of them is the rest of that line, however short.
    struct Rule {
        int from, to; // rows, relative to the writing's box
        int thickness;
        int label;
        int length;
    };
    // A rule may be joined to the sides of its box, so the rule is told
    // by its rows: those where the line runs across most of the writing.
    std::vector<Rule> rules;
    for (const Blob& b : a.blobs) {
        const cv::Rect in = b.box & box;
        if (!b.printedLine || in.empty() || b.box.width <= b.box.height)
            continue;
        const cv::Mat own = a.lineParts(cv::Rect(b.box.x, in.y, b.box.width, in.height)) == b.label;
        std::vector<int> across(size_t(in.height));
        for (int y = 0; y < in.height; ++y)
            across[size_t(y)] = cv::countNonZero(own.row(y).colRange(in.x - b.box.x, in.x - b.box.x + in.width));
        for (int y = 0; y < in.height;) {
            if (across[size_t(y)] * 3 < in.width) {
                ++y;
                continue;
            }
            int end = y;
            while (end < in.height && across[size_t(end)] * 3 >= in.width)
                ++end;
            const cv::Mat band = own.rowRange(y, end);
            std::vector<int> columns;
            for (int x = 0; x < band.cols; ++x)
                columns.push_back(cv::countNonZero(band.col(x)));
            const int length = int(std::count_if(columns.begin(), columns.end(), [](int n) { return n > 0; }));
            rules.push_back({in.y + y - box.y - 2, in.y + end - box.y + 2, HeldThickness(columns), b.label, length});
            y = end;
        }
    }
    std::vector<int> first(size_t(box.width), -1), last(size_t(box.width), -1);
    for (int x = 0; x < box.width; ++x)
        for (int y = 0; y < box.height; ++y)
            if (mask.at<uchar>(box.y + y, box.x + x)) {
                if (first[size_t(x)] < 0)
                    first[size_t(x)] = y;
                last[size_t(x)] = y;
            }
    const auto thin = [&](int x) { return first[size_t(x)] < 0 || last[size_t(x)] - first[size_t(x)] <= LineThickness + 2; };
    int left = 0, right = box.width - 1;
    while (left < box.width && thin(left))
        ++left;
    while (right > left && thin(right))
        --right;
    const int body = right - left + 1;
    if (body <= 0)
        return;
    constexpr int Keep = 8; // blocks of a tail kept, for the stroke's own end
    // Flat, as a printed rule is: a stroke's own end runs up or down. A
    // few columns off the row (a bit of a box's side) do not count. The
    // answer is the tail's row (twice over), or -1 when it is not flat.
    const auto flat = [&](int from, int to) {
        std::vector<int> middles;
        for (int x = from; x <= to; ++x)
            if (first[size_t(x)] >= 0)
                middles.push_back(first[size_t(x)] + last[size_t(x)]);
        if (middles.empty())
            return -1;
        std::vector<int> sorted = middles;
        const int middle = Median(sorted);
        const long near = std::count_if(middles.begin(), middles.end(),
                                        [&](int m) { return std::abs(m - middle) <= 2 * (LineThickness + 2); });
        return near * 5 >= long(middles.size()) * 4 ? middle : -1;
    };
    // The bare end of a printed line: in its row, no thicker than it (a
    // hand's underline run along the line makes it thicker), and where the
    // line itself was not found (an underline beside the line has it).
    const auto lineBeside = [&](const Rule& r, int from, int to) {
        int columns = 0;
        for (int x = from; x <= to; ++x) {
            for (int y = std::max(0, box.y + r.from); y < std::min(a.lineParts.rows, box.y + r.to); ++y)
                if (a.lineParts.at<int>(y, box.x + x) == r.label) {
                    ++columns;
                    break;
                }
        }
        return columns * 2 > to - from + 1;
    };
    const auto thickness = [&](int from, int to) {
        std::vector<int> extents;
        for (int x = from; x <= to; ++x)
            if (first[size_t(x)] >= 0)
                extents.push_back(last[size_t(x)] - first[size_t(x)] + 1);
        return Median(extents);
    };
    // The tail is the line's own pixels, brought back with an underline
    // merged into it, and no thicker than the line where it runs on past
    // the writing's other end, outside it: the bare end of a rule, not a
    // hand's stroke beside or along one.
    const auto bareEnd = [&](const Rule& r, int from, int to) {
        const bool right = from > box.width / 2;
        const int y0 = std::max(0, box.y + r.from), y1 = std::min(a.lineParts.rows, box.y + r.to);
        std::vector<int> outside;
        for (int x = right ? 0 : box.x + box.width; x < (right ? box.x : a.lineParts.cols); ++x) {
            int n = 0;
            for (int y = y0; y < y1; ++y)
                n += a.lineParts.at<int>(y, x) > 0;
            outside.push_back(n);
        }
        if (std::count_if(outside.begin(), outside.end(), [](int n) { return n > 0; }) < 2 * Keep
            || thickness(from, to) > HeldThickness(outside) + 1)
            return false;
        int inked = 0, line = 0;
        for (int y = 0; y < box.height; ++y)
            for (int x = from; x <= to; ++x)
                if (mask.at<uchar>(box.y + y, box.x + x)) {
                    ++inked;
                    line += a.lineParts.at<int>(box.y + y, box.x + x) > 0;
                }
        return line * 5 >= inked * 4;
    };
    const auto onRule = [&](int twiceRow, int from, int to) {
        // A line may be taken out in pieces, some thickened by what was
        // drawn along them: the longest has the line's own thickness.
        const Rule* longest = nullptr;
        for (const Rule& r : rules)
            if (twiceRow >= 2 * r.from && twiceRow <= 2 * r.to && (!longest || r.length > longest->length))
                longest = &r;
        return longest && thickness(from, to) <= longest->thickness + 1
            && (!lineBeside(*longest, from, to) || bareEnd(*longest, from, to));
    };
    // How much of a flat tail stays, or -1 for all of it: tails longer
    // than a hand's underline overshoots are cut, and shorter ones in the
    // row of a printed line, where a stroke's flat end along the line is
    // kept a little longer. A rule that runs on past the other end of the
    // writing shows as a short tail on this side in the same row, no
    // thicker than the far end of the long tail (a hand's underline along
    // the rule is), even where it was not told apart from the writing.
    struct Tail {
        int length, from, to, row;
        int outerFrom, outerTo; // the half farther from the writing
    };
    const int leftLength = left, rightLength = box.width - 1 - right;
    const Tail leftTail{leftLength, 0, left - 1, leftLength > Keep ? flat(0, left - 1) : -1, 0, left / 2};
    const Tail rightTail{rightLength, right + 1, box.width - 1, rightLength > Keep ? flat(right + 1, box.width - 1) : -1,
                         right + 1 + rightLength / 2, box.width - 1};
    // In the row of a rule that runs on past the writing (a stretch of an
    // underline taken out with the lines does not), or level to a block
    // from end to end, as a rule is on the upright grid: a hand's stroke,
    // however flat, rises or falls towards its end.
    const auto level = [&](const Tail& t) {
        const int third = std::max(1, (t.to - t.from + 1) / 3);
        const auto middle = [&](int from, int to) {
            std::vector<int> middles;
            for (int x = from; x <= to; ++x)
                if (first[size_t(x)] >= 0)
                    middles.push_back(first[size_t(x)] + last[size_t(x)]);
            return Median(middles);
        };
        return std::abs(middle(t.from, t.from + third - 1) - middle(t.to - third + 1, t.to)) <= LineThickness / 2;
    };
    const auto inRuleRow = [&](int twiceRow) {
        return std::any_of(rules.begin(), rules.end(), [&](const Rule& r) {
            return r.length > box.width && twiceRow >= 2 * r.from && twiceRow <= 2 * r.to;
        });
    };
    // A line taken out whole with the writing, along most of it, is the
    // hand's own underline, found as such for spanning little more than
    // the name: however level, its end past the name is the pen's.
    std::vector<char> underline(a.blobs.size() + 1, 0);
    for (const Blob& b : a.blobs)
        if (b.printedLine && (b.box & box) == b.box && 2 * b.box.width >= box.width)
            underline[size_t(b.label)] = cv::countNonZero((a.lineParts(b.box) == b.label) & (mask(b.box) == 0)) == 0;
    const auto drawnOn = [&](const Tail& t) {
        int inked = 0, own = 0;
        for (int y = 0; y < box.height; ++y)
            for (int x = t.from; x <= t.to; ++x)
                if (mask.at<uchar>(box.y + y, box.x + x)) {
                    ++inked;
                    const int l = a.lineParts.at<int>(box.y + y, box.x + x);
                    own += l > 0 && size_t(l) < underline.size() && underline[size_t(l)];
                }
        return own * 5 >= inked * 4;
    };
    const auto isLong = [&](const Tail& t) {
        return t.row >= 0 && t.length > body / 12 + Keep && (inRuleRow(t.row) || (level(t) && !drawnOn(t)));
    };
    const auto kept = [&](const Tail& t, const Tail& other) {
        if (t.row < 0)
            return -1;
        if (isLong(t))
            return Keep;
        if (isLong(other) && std::abs(t.row - other.row) <= 2 * LineThickness
            && thickness(t.from, t.to) <= thickness(other.outerFrom, other.outerTo) + 1)
            return Keep;
        return t.length > 2 * Keep && onRule(t.row, t.from, t.to) ? 2 * Keep : -1;
    };
    // Where an underline runs into the rule the tail is thicker than the
    // rule alone: the cut comes no nearer the writing than that.
    const auto extent = [&](int x) { return first[size_t(x)] < 0 ? 0 : last[size_t(x)] - first[size_t(x)] + 1; };
    const auto thickening = [&](int outer, int inner) {
        const int step = inner > outer ? 1 : -1;
        std::vector<int> outerHalf;
        for (int x = outer; x != outer + (inner - outer) / 2; x += step)
            if (extent(x) > 0)
                outerHalf.push_back(extent(x));
        if (outerHalf.empty())
            return inner;
        const int rule = Median(outerHalf);
        for (int x = outer; x != inner - 2 * step; x += step)
            if (extent(x) >= rule + 2 && extent(x + step) >= rule + 2 && extent(x + 2 * step) >= rule + 2)
                return x;
        return inner;
    };
    // A part of the writing's own out along the tail, no sliver of a line
    // (a full stop standing on the rule, cut in two by it), is writing:
    // the cut comes no nearer the end than that part.
    const auto ownPart = [&](int from, int to, bool right) {
        int outer = right ? -1 : box.width;
        for (const Blob& b : a.blobs) {
            const int x0 = b.box.x - box.x, x1 = b.box.br().x - 1 - box.x;
            if (b.printedLine || b.kind != Kind::Stroke || x0 < from || x1 > to || b.box.height < 3
                || b.box.width > 3 * b.box.height || (b.box & box) != b.box)
                continue;
            const cv::Mat own = (a.parts(b.box) == b.label) & mask(b.box);
            if (cv::countNonZero(own) > 0)
                outer = right ? std::max(outer, x1) : std::min(outer, x0);
        }
        return outer;
    };
    if (const int keep = kept(leftTail, rightTail); keep >= 0) {
        const int cut = std::min({left - keep, thickening(0, left - 1), ownPart(0, left - 1, false)});
        mask(cv::Rect(box.x, box.y, cut, box.height)).setTo(0);
    }
    if (const int keep = kept(rightTail, leftTail); keep >= 0) {
        const int cut = std::max({right + 1 + keep, thickening(box.width - 1, right + 1) + 1,
                                  ownPart(right + 1, box.width - 1, true) + 1});
        mask(cv::Rect(box.x + cut, box.y, box.width - cut, box.height)).setTo(0);
    }
}

// Ink of the writing that the lines took out. Where a stroke crosses a
// printed line, the line's pixels under it and the stroke's piece on the
// far side belong to the writing; where a hand's underline runs along a
// rule and merges with it, the columns thicker than the rule are the
// underline's. Returns the line's blocks taken back at the crossings.
cv::Mat Recover(const Analysis& a, cv::Mat& mask)
{
    const cv::Rect writing = cv::boundingRect(mask);
    if (writing.empty())
        return cv::Mat::zeros(mask.size(), CV_8UC1);
    const cv::Mat lines = a.lineParts > 0;
    // Line pixels reached from the writing across the line's thickness.
    cv::Mat crossing;
    cv::dilate(mask, crossing, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3)));
    crossing &= lines;
    for (int step = 0; step < LineThickness + 2; ++step) {
        cv::Mat grown;
        cv::dilate(crossing, grown, cv::getStructuringElement(cv::MORPH_CROSS, cv::Size(3, 3)));
        crossing = grown & lines;
    }
    // Only where the writing meets a line, not all along one it follows;
    // where a stroke ends on a rule, a block past its end.
    cv::Mat along, past, rules;
    cv::dilate(mask, along, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(1, 2 * LineThickness + 5)));
    cv::dilate(mask, past, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 2 * LineThickness + 5)));
    cv::morphologyEx(lines, rules, cv::MORPH_OPEN, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(5, 1)));
    crossing &= along | (past & rules);
    cv::Mat reach;
    cv::dilate(crossing, reach, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3)));
    std::vector<char> beyond(a.blobs.size(), 0);
    for (size_t i = 0; i < a.blobs.size(); ++i) {
        const Blob& b = a.blobs[i];
        if (b.printedLine || b.kind == Kind::Picture || b.box.height > writing.height || (b.box & writing).empty())
            continue;
        beyond[i] = cv::countNonZero(reach(b.box) & (a.parts(b.box) == b.label)) > 0;
    }
    for (size_t i = 0; i < a.blobs.size(); ++i)
        if (beyond[i])
            mask(a.blobs[i].box).setTo(255, a.parts(a.blobs[i].box) == a.blobs[i].label);
    const cv::Mat crossed = crossing & (mask == 0);
    mask |= crossing;
    // An underline along a rule: columns of the line, under the writing,
    // much thicker than the line is elsewhere, though not as tall as the
    // side of a box the line may be joined to.
    const int from = writing.x - writing.width * 15 / 100, to = writing.x + writing.width * 115 / 100;
    // Only the rows under the writing: the line may be one side of a box.
    const int top = writing.y + writing.height / 3, bottom = writing.y + writing.height * 14 / 10;
    struct Piece {
        const Blob* blob;
        cv::Rect rows; // the piece within the rows under the writing
        cv::Mat own; // the piece's pixels there
        std::vector<int> thickness; // blocks of line in each column
        int median;
    };
    std::vector<Piece> pieces;
    for (const Blob& b : a.blobs) {
        const cv::Rect l = b.box & cv::Rect(0, top, mask.cols, std::max(0, bottom - top));
        if (!b.printedLine || l.empty() || b.box.width < b.box.height)
            continue;
        const cv::Mat own = a.lineParts(l) == b.label;
        std::vector<int> thickness(size_t(l.width), 0);
        for (int y = 0; y < l.height; ++y)
            for (int x = 0; x < l.width; ++x)
                thickness[size_t(x)] += own.at<uchar>(y, x) != 0;
        std::vector<int> inked;
        std::copy_if(thickness.begin(), thickness.end(), std::back_inserter(inked), [](int t) { return t > 0; });
        if (!inked.empty())
            pieces.push_back({&b, l, own, std::move(thickness), Median(inked)});
    }
    for (const Piece& p : pieces) {
        const cv::Rect l = p.rows;
        const std::vector<int>& thickness = p.thickness;
        const cv::Mat& own = p.own;
        // The rule's own thickness, where the underline runs along most of
        // the piece and makes it thicker through and through: the rule
        // shows it bare beside the writing, in this piece or another in
        // the same rows (a block either way is the steps of a line a
        // little aslant).
        int rule = p.median;
        const auto thin = [](const Piece& piece) { return piece.blob->box.height <= 3 * LineThickness; };
        if (thin(p)) {
            std::vector<int> bare;
            for (const Piece& q : pieces)
                if (thin(q) && q.rows.y < l.y + l.height && l.y < q.rows.y + q.rows.height)
                    for (int x = 0; x < q.rows.width; ++x)
                        if (const int column = q.rows.x + x;
                            q.thickness[size_t(x)] > 0 && (column < writing.x || column >= writing.x + writing.width))
                            bare.push_back(q.thickness[size_t(x)]);
            if (int(bare.size()) >= 10 * LineThickness)
                if (const int outside = Median(bare); outside <= p.median - 2)
                    rule = outside;
        }
        // Long runs of columns thicker than `over`, some of them `far`
        // thicker: a box's side, drawn a little aslant, steps from one
        // column to the next in short runs, and the rule's own steps are
        // one block.
        const int end = std::min(l.width, to - l.x);
        const auto recover = [&](int over, int far) {
            const auto thicker = [&](int x) { return thickness[size_t(x)] > over && thickness[size_t(x)] <= 3 * LineThickness; };
            for (int x = std::max(0, from - l.x); x < end;) {
                int run = x, farColumns = 0;
                for (; run < end && thicker(run); ++run)
                    farColumns += thickness[size_t(run)] >= far;
                if (run - x >= 3 * LineThickness && farColumns >= LineThickness)
                    mask(cv::Rect(l.x + x, l.y, run - x, l.height)).setTo(255, own.colRange(x, run));
                x = std::max(run, x + 1);
            }
        };
        recover(rule, rule + 2);
        // A long run two blocks thicker than the line bare away from the
        // writing is an underline along it, though the line itself may be
        // one block thicker for long runs.
        std::vector<int> bare(thickness.size(), 0);
        for (int x = 0; x < l.width; ++x)
            if ((l.x + x < from || l.x + x >= to) && thickness[size_t(x)] <= 3 * LineThickness)
                bare[size_t(x)] = thickness[size_t(x)];
        if (std::count_if(bare.begin(), bare.end(), [](int t) { return t > 0; }) >= 10 * LineThickness)
            if (const int least = HeldThickness(bare); least > 0)
                recover(least + 1, least + 2);
    }
    return crossed;
}

// The writing's colour against the paper's. A mix of ink and paper (a
// stroke's pale edge) lies on the line from the paper's colour to the
// ink's, so the share of its difference from the paper that is colour,
// not darkness, is the ink's own: a blue pen's is large, black or grey
// print's near nothing, however pale.
struct InkColour {
    bool coloured = false; // the writing is in colour; its grey ink is print
    bool greyPrint = true; // the other ink about it is not in colour
    int paper[3] = {255, 255, 255};
    int least = 0; // hundredths: the least colour share of the writing's ink

    int share(QRgb c) const
    {
        const int d[3] = {paper[0] - qRed(c), paper[1] - qGreen(c), paper[2] - qBlue(c)};
        const int dark = std::max(1, (d[0] + d[1] + d[2]) / 3);
        return std::min(ShareBins - 1, 100 * (std::max({d[0], d[1], d[2]}) - std::min({d[0], d[1], d[2]})) / dark);
    }
    // Ink of the writing's own colour.
    bool pen(QRgb c, int threshold) const { return SignatureFinder::IsInk(c, threshold) && share(c) >= least; }
};

InkColour WritingColour(const QImage& picture, int threshold, const cv::Mat& writing, const cv::Rect& blocks, int k)
{
    InkColour colour;
    if (picture.format() == QImage::Format_Grayscale8)
        return colour;
    const int x0 = blocks.x * k, x1 = std::min(picture.width(), (blocks.x + blocks.width) * k);
    const int y0 = blocks.y * k, y1 = std::min(picture.height(), (blocks.y + blocks.height) * k);
    // The paper: the middle colour of what is not ink around the writing.
    std::array<std::array<int, 256>, 3> paper{};
    int papers = 0;
    for (int y = y0; y < y1; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = x0; x < x1; ++x)
            if (!SignatureFinder::IsInk(line[x], threshold)) {
                ++paper[0][size_t(qRed(line[x]))];
                ++paper[1][size_t(qGreen(line[x]))];
                ++paper[2][size_t(qBlue(line[x]))];
                ++papers;
            }
    }
    if (papers == 0)
        return colour;
    for (int c = 0; c < 3; ++c)
        for (int v = 0, n = 0; v < 256; ++v)
            if ((n += paper[size_t(c)][size_t(v)]) * 2 >= papers) {
                colour.paper[c] = v;
                break;
            }
    std::array<int, ShareBins> counts{};
    int total = 0, others = 0, colouredOthers = 0;
    for (int by = blocks.y; by < blocks.y + blocks.height; ++by) {
        const uchar* row = writing.ptr<uchar>(by);
        for (int y = by * k; y < std::min(picture.height(), (by + 1) * k); ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            for (int bx = blocks.x; bx < blocks.x + blocks.width; ++bx)
                for (int x = bx * k; x < std::min(picture.width(), (bx + 1) * k); ++x) {
                    if (!SignatureFinder::IsInk(line[x], threshold))
                        continue;
                    const int share = colour.share(line[x]);
                    if (row[bx]) {
                        ++counts[size_t(share)];
                        ++total;
                    } else {
                        ++others;
                        colouredOthers += share >= ColouredShare;
                    }
                }
        }
    }
    colour.greyPrint = colouredOthers * 3 < others || others == 0;
    // In colour when at least a third of the ink plainly is: the print
    // taken in with the writing seldom outweighs it.
    int plain = 0;
    for (int c = ColouredShare; c < ShareBins; ++c)
        plain += counts[size_t(c)];
    if (total == 0 || plain * 3 < total)
        return colour;
    // Well under the share that three quarters of that ink reach, and
    // well over print's.
    int reached = 0, typical = ColouredShare;
    for (int c = ShareBins - 1; c >= ColouredShare; --c)
        if ((reached += counts[size_t(c)]) * 4 >= plain * 3) {
            typical = c;
            break;
        }
    colour.coloured = true;
    colour.least = std::max(GreyShare, typical * 2 / 5);
    return colour;
}

// A coloured pen's stroke straight and long enough to pass for a printed
// line (an underline, often drawn along the form's rule) was taken out
// with the lines, and only where it meets the writing was it brought back.
// The run of line in the writing's colour that leads on from the writing
// is the pen's, to its end, when it ends about as near the writing as a
// hand's stroke does: a printed rule in the pen's colour runs on across
// the field.
bool RecoverColouredLines(const QImage& picture, int threshold, const Analysis& a, const cv::Mat& toGrid,
                          const InkColour& colour, cv::Mat& mask)
{
    const cv::Rect writing = cv::boundingRect(mask);
    if (writing.empty())
        return false;
    // An underline is drawn a little under the writing, not always
    // touching it.
    const int under = 2 * LineThickness + 2;
    const cv::Rect near(writing.x - 2, writing.y - under, writing.width + 4, writing.height + 2 * under);
    cv::Rect lines;
    for (const Blob& b : a.blobs)
        if (b.printedLine && !(b.box & near).empty())
            lines |= b.box;
    if (lines.empty())
        return false;
    // The lines' box on the picture's block grid: its corners turned back.
    std::vector<cv::Point2f> corners{cv::Point2f(float(lines.x), float(lines.y)),
                                     cv::Point2f(float(lines.br().x), float(lines.y)),
                                     cv::Point2f(float(lines.x), float(lines.br().y)),
                                     cv::Point2f(float(lines.br().x), float(lines.br().y))};
    cv::transform(corners, corners, toGrid);
    const cv::Rect onGrid = (cv::boundingRect(corners) + cv::Size(2, 2)) & cv::Rect(cv::Point(), a.grid);
    if (onGrid.empty())
        return false;
    // Blocks a quarter of whose pixels at least are ink of the writing's
    // colour: a thin stroke along the rule fills only part of a block.
    const int k = a.block;
    cv::Mat coloured = cv::Mat::zeros(a.grid, CV_8UC1);
    for (int by = onGrid.y; by < onGrid.y + onGrid.height; ++by) {
        uchar* out = coloured.ptr<uchar>(by);
        for (int bx = onGrid.x; bx < onGrid.x + onGrid.width; ++bx) {
            int count = 0, pixels = 0;
            for (int y = by * k; y < std::min(picture.height(), (by + 1) * k); ++y) {
                const QRgb* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
                for (int x = bx * k; x < std::min(picture.width(), (bx + 1) * k); ++x, ++pixels)
                    count += colour.pen(line[x], threshold);
            }
            if (pixels > 0 && count * 4 >= pixels)
                out[bx] = 255;
        }
    }
    cv::Mat upright;
    cv::warpAffine(coloured, upright, a.toUpright, a.parts.size(), cv::INTER_NEAREST);
    upright &= a.lineParts > 0;
    // A pale stretch of the stroke may leave a block out: runs a block
    // apart are one.
    cv::Mat joined, labels;
    cv::dilate(upright, joined, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3)));
    cv::Mat stats, centroids;
    const int n = cv::connectedComponentsWithStats(joined, labels, stats, centroids, 8, CV_32S);
    cv::Mat touching;
    cv::dilate(mask, touching, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 2 * under + 1)));
    std::vector<uchar> leads(size_t(n), 0);
    for (int y = near.y; y < near.y + near.height; ++y)
        for (int x = near.x; x < near.x + near.width; ++x)
            if (y >= 0 && x >= 0 && y < mask.rows && x < mask.cols && touching.at<uchar>(y, x) && upright.at<uchar>(y, x))
                leads[size_t(labels.at<int>(y, x))] = 1;
    const cv::Rect reach(writing.x - writing.width / 2, writing.y - writing.height, writing.width * 2,
                         writing.height * 3);
    bool added = false;
    for (int i = 1; i < n; ++i) {
        const cv::Rect run(stats.at<int>(i, cv::CC_STAT_LEFT), stats.at<int>(i, cv::CC_STAT_TOP),
                           stats.at<int>(i, cv::CC_STAT_WIDTH), stats.at<int>(i, cv::CC_STAT_HEIGHT));
        leads[size_t(i)] = leads[size_t(i)] && (run & reach) == run;
        added = added || leads[size_t(i)];
    }
    if (!added)
        return false;
    for (int y = lines.y; y < lines.y + lines.height; ++y)
        for (int x = lines.x; x < lines.x + lines.width; ++x)
            if (upright.at<uchar>(y, x) && leads[size_t(labels.at<int>(y, x))])
                mask.at<uchar>(y, x) = 255;
    return true;
}

// Ink on the picture that is not the writing's: a label, a box's side, and
// grey print among coloured writing.
struct Foreign {
    const QImage& picture;
    int threshold;
    const cv::Mat& writing; // the writing's blocks on the block grid
    int block;
    bool grey;
    InkColour colour;

    bool at(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= picture.width() || y >= picture.height())
            return false;
        const uchar* line = picture.constScanLine(y);
        if (!InkAt(line, x, grey, threshold))
            return false;
        return !writing.at<uchar>(y / block, x / block) || !Writes(x, y);
    }
    // An ink pixel of the writing's colour. A scan or a JPEG keeps colour
    // at half the detail of brightness or less, so a thin stroke's edge or
    // tip shows less of it than the ink within: ink that close to coloured
    // ink counts.
    bool Writes(int x, int y) const
    {
        if (!colour.coloured)
            return true;
        constexpr int Reach = 2;
        for (int v = std::max(0, y - Reach); v <= std::min(picture.height() - 1, y + Reach); ++v) {
            const QRgb* line = reinterpret_cast<const QRgb*>(picture.constScanLine(v));
            for (int u = std::max(0, x - Reach); u <= std::min(picture.width() - 1, x + Reach); ++u)
                if (colour.pen(line[u], threshold))
                    return true;
        }
        return false;
    }
    // Ink the writing's box takes in. A print's grey pixel close to the pen's
    // colour, where a label's letter or a rule touches the writing, is the
    // print's when more of the print lies just past it; a stroke's pale edge
    // or tip has only the stroke and paper about it.
    bool Counts(int x, int y) const
    {
        if (!Writes(x, y))
            return false;
        if (!colour.coloured || colour.pen(reinterpret_cast<const QRgb*>(picture.constScanLine(y))[x], threshold))
            return true;
        constexpr int Near = 2;
        for (int v = std::max(0, y - Near); v <= std::min(picture.height() - 1, y + Near); ++v) {
            const uchar* line = picture.constScanLine(v);
            for (int u = std::max(0, x - Near); u <= std::min(picture.width() - 1, x + Near); ++u)
                if (InkAt(line, u, grey, threshold) && !Writes(u, v))
                    return false;
        }
        return true;
    }
};

enum class Side { Left, Top, Right, Bottom };

// How far the selection may reach past the ink on one side, at most
// `most` pixels: it stops short of any other ink, by about a third of a
// millimetre on a page, so that a label or a box's side close by stays
// out of the crop.
int Clearance(const Foreign& foreign, const QRect& ink, Side side, int most)
{
    const int paper = 4 * foreign.block; // pixels kept clear of the other ink
    const bool across = side == Side::Top || side == Side::Bottom;
    const int from = across ? ink.left() - most : ink.top() - most;
    const int to = across ? ink.right() + most : ink.bottom() + most;
    for (int d = 1; d <= most + paper; ++d) {
        const int at = side == Side::Left ? ink.left() - d
            : side == Side::Right         ? ink.right() + d
            : side == Side::Top           ? ink.top() - d
                                          : ink.bottom() + d;
        for (int t = from; t <= to; ++t)
            if (across ? foreign.at(t, at) : foreign.at(at, t))
                return std::clamp(d - 1 - paper, 0, most);
    }
    return most;
}

} // namespace

QImage Usable(const QImage& picture)
{
    switch (picture.format()) {
    case QImage::Format_Grayscale8:
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        return picture;
    default:
        return picture.convertToFormat(QImage::Format_RGB32);
    }
}

Analysis Analyse(const QImage& picture, int threshold)
{
    Analysis a;
    if (picture.isNull() || picture.width() < 8 || picture.height() < 8)
        return a;
    a.block = std::max(1, int(std::lround(std::max(picture.width(), picture.height()) / GridSide)));
    const cv::Mat ink = BlockInk(picture, threshold, a.block);
    a.grid = ink.size();
    a.degrees = Tilt(ink);
    // Turned about the grid's middle into a grid as large, so that nothing
    // of a tilt of a few degrees falls off.
    const int pad = int(std::ceil(std::max(ink.cols, ink.rows) * std::sin(MostTilt * CV_PI / 180))) + 2;
    a.toUpright = cv::getRotationMatrix2D(cv::Point2f(ink.cols / 2.0f, ink.rows / 2.0f), a.degrees, 1.0);
    a.toUpright.at<double>(0, 2) += pad;
    a.toUpright.at<double>(1, 2) += pad;
    cv::Mat upright;
    cv::warpAffine(ink, upright, a.toUpright, cv::Size(ink.cols + 2 * pad, ink.rows + 2 * pad), cv::INTER_NEAREST);
    const cv::Mat lines = StraightLines(upright);
    const cv::Mat strokes = upright & ~lines;
    cv::Mat stats, centroids;
    cv::connectedComponentsWithStats(strokes, a.parts, stats, centroids, 8, CV_32S);
    Classify(a, stats, DenseAreas(strokes, PictureSide));
    // A dashed or dotted rule is one line, not a row of dashes each short
    // enough to pass for a hand's underline: the gaps along it are bridged
    // before the lines are told apart, and only their ink keeps the label.
    // Nothing is bridged across: an underline near a rule stays apart.
    cv::Mat bridged;
    cv::morphologyEx(lines, bridged, cv::MORPH_CLOSE, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(2 * LineThickness + 1, 1)));
    cv::Mat lineStats;
    const int lineCount = cv::connectedComponentsWithStats(bridged, a.lineParts, lineStats, centroids, 8, CV_32S);
    a.lineParts.setTo(0, lines == 0);
    for (int i = 1; i < lineCount; ++i) {
        Blob b;
        b.label = i;
        b.kind = Kind::Line;
        b.printedLine = true;
        b.box = cv::Rect(lineStats.at<int>(i, cv::CC_STAT_LEFT), lineStats.at<int>(i, cv::CC_STAT_TOP),
                         lineStats.at<int>(i, cv::CC_STAT_WIDTH), lineStats.at<int>(i, cv::CC_STAT_HEIGHT));
        b.area = lineStats.at<int>(i, cv::CC_STAT_AREA);
        a.blobs.push_back(b);
    }
    return a;
}

SignatureFinder::Found Locate(const QImage& picture, int threshold, const Analysis& a, const std::vector<int>& chosen)
{
    if (chosen.empty())
        return {};
    cv::Mat mask = cv::Mat::zeros(a.parts.size(), CV_8UC1);
    for (int i : chosen) {
        const Blob& b = a.blobs[size_t(i)];
        const cv::Mat& labels = b.printedLine ? a.lineParts : a.parts;
        mask(b.box).setTo(255, labels(b.box) == b.label);
    }
    const cv::Mat crossed = Recover(a, mask);
    cv::Mat toGrid;
    cv::invertAffineTransform(a.toUpright, toGrid);
    // The writing's blocks on the picture's block grid, a block around.
    const auto onGrid = [&](const cv::Mat& upright) {
        cv::Mat grown, back;
        cv::dilate(upright, grown, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3)));
        cv::warpAffine(grown, back, toGrid, a.grid, cv::INTER_NEAREST);
        return back;
    };
    const int k = a.block;
    cv::Mat back = onGrid(mask);
    cv::Rect blocks = cv::boundingRect(back);
    if (blocks.empty())
        return {};
    InkColour colour = WritingColour(picture, threshold, back, blocks, k);
    // A pen's coloured underline that runs on past the name is the hand's
    // own, however flat; the printed rule's ends the tails are cut for stay
    // out by their grey. Where the print is coloured too, only the shape
    // tells them apart.
    if (!colour.coloured || !colour.greyPrint) {
        TrimTails(a, mask);
        back = onGrid(mask);
        blocks = cv::boundingRect(back);
        if (blocks.empty())
            return {};
        colour = WritingColour(picture, threshold, back, blocks, k);
    }
    if (colour.coloured && RecoverColouredLines(picture, threshold, a, toGrid, colour, mask)) {
        back = onGrid(mask);
        blocks = cv::boundingRect(back);
    }
    const bool grey = picture.format() == QImage::Format_Grayscale8;
    const Foreign foreign{picture, threshold, back, k, grey, colour};
    // Where the writing meets a line, the line's blocks were taken back,
    // and the writing's blocks are grown by one for the turn's rounding;
    // of the line's pixels among them the writing's are those its own
    // strokes reach through ink, not across paper: a rule that feet stop
    // just short of stays out of the writing's box.
    const cv::Mat own = mask & (crossed == 0);
    cv::Mat strokes, lineBits;
    cv::warpAffine(own, strokes, toGrid, a.grid, cv::INTER_NEAREST);
    cv::warpAffine((a.lineParts > 0) & (own == 0), lineBits, toGrid, a.grid, cv::INTER_NEAREST);
    cv::dilate(lineBits, lineBits, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3)));
    lineBits &= strokes == 0;
    const cv::Rect area = cv::Rect(blocks.x * k, blocks.y * k, blocks.width * k, blocks.height * k)
        & cv::Rect(0, 0, picture.width(), picture.height());
    const auto pixels = [&](const cv::Mat& onBlocks) {
        cv::Mat out;
        cv::resize(onBlocks(blocks), out, cv::Size(blocks.width * k, blocks.height * k), 0, 0, cv::INTER_NEAREST);
        return out(cv::Rect(0, 0, area.width, area.height));
    };
    cv::Mat inked(area.size(), CV_8UC1);
    for (int y = 0; y < area.height; ++y) {
        const uchar* line = picture.constScanLine(area.y + y);
        uchar* out = inked.ptr<uchar>(y);
        for (int x = 0; x < area.width; ++x)
            out[x] = InkAt(line, area.x + x, grey, threshold) ? 255 : 0;
    }
    const cv::Mat strokePixels = pixels(strokes);
    const cv::Mat passable = inked & (strokePixels | pixels(lineBits));
    cv::Mat reached = inked & strokePixels;
    for (int step = 0; step < (LineThickness + 2) * k; ++step) {
        cv::dilate(reached, reached, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3)));
        reached &= passable;
    }
    int left = picture.width(), top = picture.height(), right = -1, bottom = -1;
    for (int by = blocks.y; by < blocks.y + blocks.height; ++by) {
        const uchar* row = back.ptr<uchar>(by);
        const uchar* ruled = lineBits.ptr<uchar>(by);
        for (int y = by * k; y < std::min(picture.height(), (by + 1) * k); ++y) {
            const uchar* ink = inked.ptr<uchar>(y - area.y);
            const uchar* reach = reached.ptr<uchar>(y - area.y);
            for (int bx = blocks.x; bx < blocks.x + blocks.width; ++bx) {
                if (!row[bx])
                    continue;
                for (int x = bx * k; x < std::min(picture.width(), (bx + 1) * k); ++x)
                    if (ink[x - area.x] && foreign.Counts(x, y) && (!ruled[bx] || reach[x - area.x])) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                        top = std::min(top, y);
                        bottom = std::max(bottom, y);
                    }
            }
        }
    }
    if (right < 0)
        return {};
    SignatureFinder::Found found;
    found.ink = QRect(QPoint(left, top), QPoint(right, bottom));
    // A few pixels of paper around the ink, more on a larger signature.
    const int margin = std::clamp(int(std::lround(found.ink.height() * 0.07)), 5, 12);
    found.selection = found.ink.adjusted(-Clearance(foreign, found.ink, Side::Left, margin),
                                         -Clearance(foreign, found.ink, Side::Top, margin),
                                         Clearance(foreign, found.ink, Side::Right, margin),
                                         Clearance(foreign, found.ink, Side::Bottom, margin))
        & picture.rect();
    return found;
}

} // namespace SignatureInk
