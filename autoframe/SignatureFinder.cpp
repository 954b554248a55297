#include "SignatureFinder.h"

#include "Cascades.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace SignatureFinder {

namespace {

// Rec. 709 weights in 65536ths (0.2126, 0.7152, 0.0722), summing to 65536.
constexpr int WeightR = 13933;
constexpr int WeightG = 46871;
constexpr int WeightB = 4732;

// The black-and-white file rounds the grey level half up and makes black
// what lies below the threshold: floor(L + 0.5) < T, that is L + 0.5 < T.
inline bool InkLevel(int r, int g, int b, int threshold)
{
    return WeightR * r + WeightG * g + WeightB * b + 32768 < threshold * 65536;
}

// Ink by blocks of k x k pixels: a block is ink when any of its pixels is.
cv::Mat BlockInk(const QImage& picture, int threshold, int k)
{
    const int w = picture.width();
    const int h = picture.height();
    cv::Mat blocks = cv::Mat::zeros((h + k - 1) / k, (w + k - 1) / k, CV_8UC1);
    const bool grey = picture.format() == QImage::Format_Grayscale8;
    for (int y = 0; y < h; ++y) {
        uchar* out = blocks.ptr<uchar>(y / k);
        const uchar* line = picture.constScanLine(y);
        for (int bx = 0, x = 0; bx < blocks.cols; ++bx) {
            const int end = std::min(w, x + k);
            bool any = out[bx] != 0;
            if (grey) {
                for (; x < end; ++x)
                    any |= line[x] < threshold;
            } else {
                const QRgb* px = reinterpret_cast<const QRgb*>(line);
                for (; x < end; ++x)
                    any |= InkLevel(qRed(px[x]), qGreen(px[x]), qBlue(px[x]), threshold);
            }
            out[bx] = any ? 255 : 0;
        }
    }
    return blocks;
}

enum class Kind { Speck, Stroke, Dense, Box };

struct Part {
    cv::Rect box;
    int area = 0;
    Kind kind = Kind::Stroke;
};

// Pixels of a mask inside a rectangle, from its integral image.
int Count(const cv::Mat& integral, const cv::Rect& r)
{
    const cv::Rect inside = r & cv::Rect(0, 0, integral.cols - 1, integral.rows - 1);
    if (inside.empty())
        return 0;
    return integral.at<int>(inside.y + inside.height, inside.x + inside.width) - integral.at<int>(inside.y, inside.x + inside.width)
        - integral.at<int>(inside.y + inside.height, inside.x) + integral.at<int>(inside.y, inside.x);
}

cv::Mat IntegralOf(const cv::Mat& mask)
{
    cv::Mat ones;
    cv::threshold(mask, ones, 0, 1, cv::THRESH_BINARY);
    cv::Mat sums;
    cv::integral(ones, sums, CV_32S);
    return sums;
}

// Long straight runs of ink, across or down, that make up a figure at
// least four runs long: the rules and the printed boxes of a form. Shorter
// straight pieces stay ink, since handwriting has some.
cv::Mat RuledLines(const cv::Mat& ink, int run)
{
    cv::Mat across, down;
    cv::morphologyEx(ink, across, cv::MORPH_OPEN, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(run, 1)));
    cv::morphologyEx(ink, down, cv::MORPH_OPEN, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(1, run)));
    const cv::Mat straight = across | down;
    cv::Mat labels, stats, centroids;
    const int n = cv::connectedComponentsWithStats(straight, labels, stats, centroids, 8, CV_32S);
    std::vector<uchar> keep(size_t(n), 0);
    for (int i = 1; i < n; ++i) {
        const int w = stats.at<int>(i, cv::CC_STAT_WIDTH);
        const int h = stats.at<int>(i, cv::CC_STAT_HEIGHT);
        const int length = std::max(w, h);
        // A rule stays straight over its length (a page scanned a little
        // askew included); a frame has long sides both ways. A flourish
        // under a name bends more than either.
        const bool straight = std::min(w, h) <= std::max(3, length / 60);
        const bool frame = w >= run && h >= run;
        keep[size_t(i)] = length >= 4 * run && (straight || frame) ? 255 : 0;
    }
    cv::Mat ruled(ink.size(), CV_8UC1);
    for (int y = 0; y < ink.rows; ++y) {
        const int* l = labels.ptr<int>(y);
        uchar* out = ruled.ptr<uchar>(y);
        for (int x = 0; x < ink.cols; ++x)
            out[x] = keep[size_t(l[x])];
    }
    return ruled;
}

// Whether nearly all of a component's pixels lie along its box's border:
// a printed box (a check box, a frame whose sides were too short to be
// rules).
bool IsHollowBox(const cv::Mat& labels, int label, const Part& part)
{
    const int band = std::max(1, std::min(part.box.width, part.box.height) / 8);
    const cv::Rect inner(part.box.x + band, part.box.y + band, part.box.width - 2 * band, part.box.height - 2 * band);
    if (inner.width <= 0 || inner.height <= 0)
        return false;
    int inside = 0;
    for (int y = inner.y; y < inner.y + inner.height; ++y) {
        const int* l = labels.ptr<int>(y);
        for (int x = inner.x; x < inner.x + inner.width; ++x)
            inside += l[x] == label;
    }
    return inside <= part.area / 8;
}

std::vector<Part> Classify(const cv::Mat& labels, const cv::Mat& stats, int speck)
{
    const int n = stats.rows;
    std::vector<Part> parts(size_t(std::max(0, n)));
    for (int i = 1; i < n; ++i) {
        Part& p = parts[size_t(i)];
        p.box = cv::Rect(stats.at<int>(i, cv::CC_STAT_LEFT), stats.at<int>(i, cv::CC_STAT_TOP),
                         stats.at<int>(i, cv::CC_STAT_WIDTH), stats.at<int>(i, cv::CC_STAT_HEIGHT));
        p.area = stats.at<int>(i, cv::CC_STAT_AREA);
        const int longest = std::max(p.box.width, p.box.height);
        const double fill = double(p.area) / (double(p.box.width) * p.box.height);
        if (longest <= speck)
            p.kind = Kind::Speck;
        else if (fill > 0.45 && longest > 3 * speck)
            p.kind = Kind::Dense;
        else if (std::min(p.box.width, p.box.height) >= 3 * speck && IsHollowBox(labels, i, p))
            p.kind = Kind::Box;
    }
    return parts;
}

// Strokes of handwriting: taller than most of the picture's shapes, which
// on a form are printed letters, and wider than tall, since handwriting
// joins its letters where print keeps them apart.
std::vector<int> Seeds(const std::vector<Part>& parts)
{
    std::vector<int> heights;
    for (const Part& p : parts)
        if (p.kind == Kind::Stroke && p.area > 0)
            heights.push_back(p.box.height);
    if (heights.empty())
        return {};
    double least = 0;
    if (heights.size() >= 12) {
        std::nth_element(heights.begin(), heights.begin() + long(heights.size() / 2), heights.end());
        least = 1.6 * heights[heights.size() / 2];
    }
    std::vector<int> seeds;
    for (size_t i = 1; i < parts.size(); ++i) {
        const Part& p = parts[i];
        if (p.kind == Kind::Stroke && p.box.height >= least && (least == 0 || p.box.width >= 1.2 * p.box.height))
            seeds.push_back(int(i));
    }
    return seeds;
}

cv::Rect Grown(const cv::Rect& r, int dx, int dy)
{
    return cv::Rect(r.x - dx, r.y - dy, r.width + 2 * dx, r.height + 2 * dy);
}

struct Cluster {
    cv::Rect box;
    std::vector<int> members;
    long long ink = 0;
};

// Seeds that lie close together, with no rule between them, make one
// cluster.
std::vector<Cluster> Gather(const std::vector<Part>& parts, const std::vector<int>& seeds, const cv::Mat& ruledSum)
{
    std::vector<int> group(seeds.size());
    std::iota(group.begin(), group.end(), 0);
    const auto root = [&](int i) {
        while (group[size_t(i)] != i)
            i = group[size_t(i)] = group[size_t(group[size_t(i)])];
        return i;
    };
    for (size_t a = 0; a < seeds.size(); ++a) {
        for (size_t b = a + 1; b < seeds.size(); ++b) {
            const cv::Rect& ra = parts[size_t(seeds[a])].box;
            const cv::Rect& rb = parts[size_t(seeds[b])].box;
            const int tall = std::max(ra.height, rb.height);
            if ((Grown(ra, tall * 4 / 5, tall * 2 / 5) & rb).empty())
                continue;
            if (Count(ruledSum, ra | rb) > 0)
                continue;
            group[size_t(root(int(a)))] = root(int(b));
        }
    }
    std::vector<Cluster> clusters(seeds.size());
    for (size_t i = 0; i < seeds.size(); ++i) {
        Cluster& c = clusters[size_t(root(int(i)))];
        const Part& p = parts[size_t(seeds[i])];
        c.box = c.members.empty() ? p.box : (c.box | p.box);
        c.members.push_back(seeds[i]);
        c.ink += p.area;
    }
    std::erase_if(clusters, [](const Cluster& c) { return c.members.empty(); });
    return clusters;
}

// Strokes near the cluster (a short first letter, a flourish apart), none
// across a rule; then dots close to it (an i's dot, a full stop). Dots do
// not reach further dots, so a dusty scan does not spread the signature.
void Attach(Cluster& cluster, const std::vector<Part>& parts, std::vector<uchar>& chosen, const cv::Mat& ruledSum)
{
    const auto joins = [&](const Part& p, int reach) {
        return !(Grown(cluster.box, reach, reach) & p.box).empty() && Count(ruledSum, cluster.box | p.box) == 0;
    };
    for (int pass = 0; pass < 3; ++pass) {
        bool grew = false;
        for (size_t i = 1; i < parts.size(); ++i) {
            const Part& p = parts[i];
            // A tall first letter stands further off than a small stroke.
            if (!chosen[i] && p.kind == Kind::Stroke && joins(p, std::max(2, std::max(cluster.box.height, p.box.height) / 2))) {
                chosen[i] = 1;
                cluster.box |= p.box;
                grew = true;
            }
        }
        if (!grew)
            break;
    }
    const cv::Rect strokes = cluster.box;
    const int reach = std::max(1, strokes.height / 5);
    cv::Rect dots = strokes;
    for (size_t i = 1; i < parts.size(); ++i) {
        const Part& p = parts[i];
        if (!chosen[i] && p.kind == Kind::Speck && !(Grown(strokes, reach, reach) & p.box).empty()
            && Count(ruledSum, strokes | p.box) == 0) {
            chosen[i] = 1;
            dots |= p.box;
        }
    }
    cluster.box = dots;
}

// The smallest rectangle of the chosen components' ink at full resolution.
QRect InkAtFullSize(const QImage& picture, int threshold, int k, const cv::Rect& blocks, const cv::Mat& labels,
                    const std::vector<uchar>& chosen)
{
    const QRect area = QRect(blocks.x * k, blocks.y * k, blocks.width * k, blocks.height * k) & picture.rect();
    const bool grey = picture.format() == QImage::Format_Grayscale8;
    int left = area.right() + 1, right = area.left() - 1, top = area.bottom() + 1, bottom = area.top() - 1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* line = picture.constScanLine(y);
        const int* l = labels.ptr<int>(y / k);
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!chosen[size_t(l[x / k])])
                continue;
            const bool ink = grey ? line[x] < threshold
                                  : InkLevel(qRed(reinterpret_cast<const QRgb*>(line)[x]),
                                             qGreen(reinterpret_cast<const QRgb*>(line)[x]),
                                             qBlue(reinterpret_cast<const QRgb*>(line)[x]), threshold);
            if (!ink)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < left)
        return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// The ink with a margin on each side, each stopped before it would take in
// a rule or ink that is not the signature's, and at the picture's edge.
QRect WithMargin(const QRect& ink, const QRect& picture, int k, const cv::Mat& foreignSum)
{
    const int margin = std::max(4, ink.height() / 10);
    const auto clean = [&](const QRect& strip) {
        const QRect s = strip & picture;
        if (s.isEmpty())
            return false;
        const cv::Rect blocks(s.left() / k, s.top() / k, s.right() / k - s.left() / k + 1,
                              s.bottom() / k - s.top() / k + 1);
        return Count(foreignSum, blocks) == 0 && s == strip;
    };
    QRect r = ink;
    for (int step = 0; step < margin; ++step) {
        if (clean(QRect(r.left() - 1, r.top(), 1, r.height())))
            r.setLeft(r.left() - 1);
        if (clean(QRect(r.right() + 1, r.top(), 1, r.height())))
            r.setRight(r.right() + 1);
        if (clean(QRect(r.left(), r.top() - 1, r.width(), 1)))
            r.setTop(r.top() - 1);
        if (clean(QRect(r.left(), r.bottom() + 1, r.width(), 1)))
            r.setBottom(r.bottom() + 1);
    }
    return r;
}

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

} // namespace

bool IsInk(QRgb colour, int threshold)
{
    return InkLevel(qRed(colour), qGreen(colour), qBlue(colour), threshold);
}

Found Find(const QImage& source, int threshold)
{
    if (source.isNull())
        return {};
    OpenCvOnCallingThread();
    threshold = std::clamp(threshold, 0, 255);
    const QImage picture = Usable(source);
    const int k = std::max(1, int(std::ceil(std::max(picture.width(), picture.height()) / double(WorkSide))));
    const cv::Mat ink = BlockInk(picture, threshold, k);
    const int side = std::max(ink.cols, ink.rows);
    // A dark or busy picture is no paper with a signature on it.
    if (cv::countNonZero(ink) > int(ink.total() * 2 / 5))
        return {};

    const cv::Mat ruled = RuledLines(ink, std::max(24, side / 24));
    const cv::Mat strokes = ink & ~ruled;
    cv::Mat labels, stats, centroids;
    cv::connectedComponentsWithStats(strokes, labels, stats, centroids, 8, CV_32S);
    std::vector<Part> parts = Classify(labels, stats, std::max(2, side / 300));
    const cv::Mat ruledSum = IntegralOf(ruled);
    const cv::Mat inkSum = IntegralOf(ink);

    std::vector<Cluster> clusters = Gather(parts, Seeds(parts), ruledSum);
    // Pictures and heavy print fill much of their box; handwriting does not.
    std::erase_if(clusters, [&](const Cluster& c) { return Count(inkSum, c.box) > c.box.area() * 7 / 20; });
    if (clusters.empty())
        return {};
    Cluster best = *std::max_element(clusters.begin(), clusters.end(),
                                     [](const Cluster& a, const Cluster& b) { return a.ink < b.ink; });
    std::vector<uchar> chosen(parts.size(), 0);
    for (int m : best.members)
        chosen[size_t(m)] = 1;
    Attach(best, parts, chosen, ruledSum);

    Found found;
    found.ink = InkAtFullSize(picture, threshold, k, best.box, labels, chosen);
    if (found.ink.isEmpty())
        return {};
    cv::Mat foreign = ruled.clone();
    for (int y = 0; y < labels.rows; ++y) {
        const int* l = labels.ptr<int>(y);
        uchar* f = foreign.ptr<uchar>(y);
        for (int x = 0; x < labels.cols; ++x)
            if (l[x] != 0 && !chosen[size_t(l[x])])
                f[x] = 255;
    }
    found.selection = WithMargin(found.ink, picture.rect(), k, IntegralOf(foreign));
    return found;
}

} // namespace SignatureFinder
