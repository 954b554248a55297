#include "SignatureFinder.h"

#include "SignatureInk.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace SignatureFinder {

namespace {

using SignatureInk::Blob;

// A block is this many times the typical printed glyph before it can be
// handwriting: a signature is written larger than the form's print, which
// on forms is 8 to 14 points while signatures stand 6 to 20 mm high.
constexpr double HandOverPrint = 2.0;

// Strokes closer than this many of their own heights belong to one hand's
// writing: the gap between a name and a surname stays under two and a half
// heights of the tallest letter, the distance to the next line of writing
// over a third of one.
constexpr double WordGap = 2.4;
constexpr double LineGap = 0.35;
// Print is at most this many times the typical glyph (a title, typed
// data); handwriting may be as large but is seldom smaller.
constexpr double LargePrint = 3.5;
// A line straying no more than this many blocks along its length was
// drawn with a ruler: a hand's stroke that long wavers more.
constexpr double RuledBend = 1.5;
// Parts of fewer blocks than this are as small as specks of dirt.
constexpr int SmallPart = 10;
// A picture with no more parts than this and nothing taller than print is
// a signature on its own (a name of a few words), not a page of print.
constexpr int LoneStrokes = 60;

struct Cluster {
    cv::Rect box;
    std::vector<int> members;
    double ink = 0;
};

cv::Rect Expanded(const cv::Rect& r, int dx, int dy)
{
    return cv::Rect(r.x - dx, r.y - dy, r.width + 2 * dx, r.height + 2 * dy);
}

// The typical height of a printed glyph on the picture: the median height of
// the small parts, which on a form are mostly letters.
double GlyphHeight(const std::vector<Blob>& blobs)
{
    std::vector<int> heights;
    for (const Blob& b : blobs)
        if (b.kind == SignatureInk::Kind::Stroke && b.area >= 8 && b.box.height >= 3)
            heights.push_back(b.box.height);
    if (heights.empty())
        return 1;
    return std::max(2, SignatureInk::Median(heights));
}

// Which side of each part a printed line taken out cuts off: such an edge
// is where the line was, not the letter's own top or foot.
struct Cut {
    bool top = false, bottom = false;
    // No thicker than a line and running straight on from the end of one
    // taken out: the rest of that line, a box's side below its corner.
    bool stub = false;
};

std::vector<Cut> CutEdges(const SignatureInk::Analysis& a)
{
    std::vector<Cut> cuts(a.blobs.size());
    // Line in row `at` between the columns from and to, or, down, in
    // column `at` between the rows from and to.
    const auto lineAt = [&](int at, int from, int to, bool down = false) {
        if (at < 0 || at >= (down ? a.lineParts.cols : a.lineParts.rows))
            return false;
        for (int t = std::max(0, from); t < std::min(down ? a.lineParts.rows : a.lineParts.cols, to); ++t)
            if (down ? a.lineParts.at<int>(t, at) : a.lineParts.at<int>(at, t))
                return true;
        return false;
    };
    for (size_t i = 0; i < a.blobs.size(); ++i) {
        const Blob& b = a.blobs[i];
        if (b.printedLine || b.kind != SignatureInk::Kind::Stroke)
            continue;
        // A dashed rule has gaps: its dashes either side count too.
        const int left = b.box.x - SignatureInk::LineThickness, right = b.box.x + b.box.width + SignatureInk::LineThickness;
        for (int d = 1; d <= 2; ++d) {
            cuts[i].top = cuts[i].top || lineAt(b.box.y - d, left, right);
            cuts[i].bottom = cuts[i].bottom || lineAt(b.box.y + b.box.height - 1 + d, left, right);
        }
        // Further than a rule crossing a stroke is thick.
        const int onward = 2 * SignatureInk::LineThickness + 2;
        const auto runsOn = [&](bool upright, int from, int step) {
            int d = 0;
            if (upright)
                while (d < onward && lineAt(from + step * d, b.box.x, b.box.x + b.box.width))
                    ++d;
            else
                while (d < onward && lineAt(from + step * d, b.box.y, b.box.y + b.box.height, true))
                    ++d;
            return d == onward;
        };
        const int thin = SignatureInk::LineThickness / 2;
        if (b.box.width <= thin && b.box.height > b.box.width)
            cuts[i].stub = runsOn(true, b.box.y - 1, -1) || runsOn(true, b.box.y + b.box.height, 1);
        else if (b.box.height <= thin && b.box.width > b.box.height)
            cuts[i].stub = runsOn(false, b.box.x - 1, -1) || runsOn(false, b.box.x + b.box.width, 1);
    }
    return cuts;
}

// Parts that sit in a row with several others of the same height and
// baseline: printed text, which small handwriting parts must not pull in.
// Edges cut by a line taken out line up whatever was written across it,
// so they are not compared.
std::vector<char> PrintedRows(const std::vector<Blob>& blobs, const std::vector<Cut>& cuts, double glyph)
{
    std::vector<char> printed(blobs.size(), 0);
    // Letters, or a few joined: a long flat stroke (an underline merged
    // with the dashes of a rule) is no glyph, whatever it lines up with.
    std::vector<int> small;
    for (size_t i = 0; i < blobs.size(); ++i)
        if (blobs[i].kind == SignatureInk::Kind::Stroke && blobs[i].box.height <= 3 * glyph
            && blobs[i].box.width <= 4 * std::max<double>(glyph, blobs[i].box.height))
            small.push_back(int(i));
    for (int i : small) {
        const cv::Rect& a = blobs[size_t(i)].box;
        const int bottom = a.y + a.height;
        int neighbours = 0;
        for (int j : small) {
            if (j == i)
                continue;
            const cv::Rect& b = blobs[size_t(j)].box;
            const double tolerance = std::max(1.0, 0.08 * a.height);
            // A baseline, or the line of the tops when the page is upside down.
            const bool feet = !cuts[size_t(i)].bottom && !cuts[size_t(j)].bottom
                && std::abs(b.y + b.height - bottom) <= tolerance;
            const bool tops = !cuts[size_t(i)].top && !cuts[size_t(j)].top && std::abs(b.y - a.y) <= tolerance;
            // A part under half as tall and wider than tall, a dash of a
            // dashed rule, says nothing of a row of letters: a pen's dot
            // standing on the rule lines up with its dashes.
            const bool alike = 2 * b.height > a.height || b.width <= b.height;
            if ((feet || tops) && alike
                && std::abs((b.x + b.width / 2) - (a.x + a.width / 2)) <= 4 * std::max<double>(glyph, a.height))
                ++neighbours;
        }
        // Letters as tall as handwriting line up by chance more often: a
        // neat hand's short letters along a rule share their tops.
        printed[size_t(i)] = neighbours >= (a.height >= HandOverPrint * glyph ? 5 : 3);
    }
    // The first or last letter of a short printed word has fewer such
    // neighbours: it goes with one that is print, as tall as itself.
    std::vector<char> ends(printed);
    for (int i : small) {
        if (printed[size_t(i)])
            continue;
        const cv::Rect& a = blobs[size_t(i)].box;
        for (int j : small) {
            const cv::Rect& b = blobs[size_t(j)].box;
            if (printed[size_t(j)] && !cuts[size_t(i)].bottom && !cuts[size_t(j)].bottom
                && std::abs(b.y + b.height - a.y - a.height) <= std::max(1.0, 0.08 * a.height)
                && std::abs(b.height - a.height) <= std::max(1.0, 0.15 * a.height)
                && std::abs((b.x + b.width / 2) - (a.x + a.width / 2)) <= 4 * std::max<double>(glyph, a.height)) {
                ends[size_t(i)] = 1;
                break;
            }
        }
    }
    return ends;
}

// Seeds are the tall strokes; they are gathered into clusters of one
// hand's writing, each word reaching the next across a word's gap.
std::vector<Cluster> Gather(const std::vector<Blob>& blobs, const cv::Mat& lineParts, const std::vector<Cut>& cuts,
                            const std::vector<int>& seeds, const std::vector<char>& printedRow, double lineGap)
{
    // Short letters between the tall ones carry a word from one to the
    // next: every stroke that is not printed text may join. Dots are left
    // for later, from close by only (the dot of a printed i under the
    // writing is no letter of it), but the bits of a stroke a line cut
    // off are letters.
    std::vector<int> joinable;
    for (size_t i = 0; i < blobs.size(); ++i)
        if (blobs[i].kind == SignatureInk::Kind::Stroke && !printedRow[i] && !cuts[i].stub
            && (blobs[i].area >= SmallPart || (blobs[i].area > 2 && (cuts[i].top || cuts[i].bottom))))
            joinable.push_back(int(i));
    // A printed rule the writing sits on (or hangs from) parts it from the
    // print on its other side, a label under the line: a letter or a dot
    // there is none of the writing's, unless the rule cut it off a stroke;
    // a flat piece may be the hand's underline.
    const auto acrossRule = [&](const cv::Rect& writing, int other) {
        const cv::Rect& o = blobs[size_t(other)].box;
        if (cuts[size_t(other)].top || cuts[size_t(other)].bottom
            || (o.height < 2 * SignatureInk::LineThickness && o.width > 2 * o.height))
            return false;
        const int slack = SignatureInk::LineThickness;
        int from, to;
        if (o.y >= writing.y + writing.height - slack)
            from = writing.y + writing.height - slack, to = o.y;
        else if (o.y + o.height <= writing.y + slack)
            from = o.y + o.height, to = writing.y + slack;
        else
            return false;
        from = std::max(0, from), to = std::min(lineParts.rows, to);
        int crossed = 0;
        for (int x = std::max(0, o.x); x < std::min(lineParts.cols, o.x + o.width); ++x)
            for (int y = from; y < to; ++y)
                if (lineParts.at<int>(y, x)) {
                    ++crossed;
                    break;
                }
        return crossed * 2 > o.width;
    };
    // A letter that a rule runs through stands as tall as its pieces on
    // both sides of the rule together.
    std::vector<int> height(blobs.size());
    for (size_t i = 0; i < blobs.size(); ++i)
        height[i] = blobs[i].box.height;
    std::vector<int> above, below;
    for (int i : joinable) {
        if (cuts[size_t(i)].bottom)
            above.push_back(i);
        if (cuts[size_t(i)].top)
            below.push_back(i);
    }
    for (int i : above)
        for (int j : below) {
            const cv::Rect &upper = blobs[size_t(i)].box, &lower = blobs[size_t(j)].box;
            const int gap = lower.y - upper.br().y;
            if (gap >= 0 && gap <= SignatureInk::LineThickness + 2
                && !(upper & cv::Rect(lower.x, upper.y, lower.width, upper.height)).empty()) {
                const int whole = lower.br().y - upper.y;
                height[size_t(i)] = std::max(height[size_t(i)], whole);
                height[size_t(j)] = std::max(height[size_t(j)], whole);
            }
        }
    std::vector<Cluster> clusters;
    std::vector<int> owner(blobs.size(), -1);
    for (int seed : seeds) {
        if (owner[size_t(seed)] >= 0)
            continue;
        Cluster c;
        c.members = {seed};
        c.box = blobs[size_t(seed)].box;
        owner[size_t(seed)] = int(clusters.size());
        int tallest = height[size_t(seed)];
        for (bool grown = true; grown;) {
            grown = false;
            // Reach by the writing's tallest letter, so that nothing that
            // joins can stretch it further and further.
            const int h = tallest;
            const cv::Rect reach = Expanded(c.box, int(WordGap * h), int(lineGap * h));
            for (int other : joinable) {
                if (owner[size_t(other)] >= 0 || (blobs[size_t(other)].box & reach).empty()
                    || acrossRule(blobs[size_t(seed)].box, other))
                    continue;
                owner[size_t(other)] = int(clusters.size());
                c.members.push_back(other);
                c.box |= blobs[size_t(other)].box;
                tallest = std::max(tallest, height[size_t(other)]);
                grown = true;
            }
        }
        for (int m : c.members)
            c.ink += blobs[size_t(m)].area;
        clusters.push_back(std::move(c));
    }
    return clusters;
}

// Printed words set in capitals, a title for instance: most letters share
// both their top and their foot. Handwriting, even from a hand that writes
// in separate letters, shares at most its baseline, which on a page upside
// down is the line of the tops.
bool LooksPrinted(const std::vector<Blob>& blobs, const std::vector<Cut>& cuts, const Cluster& c)
{
    int tallest = 0;
    for (int m : c.members)
        tallest = std::max(tallest, blobs[size_t(m)].box.height);
    // Letters, not the dots and the bits a line taken out leaves behind.
    std::vector<int> letters;
    for (int m : c.members)
        if (blobs[size_t(m)].box.height * 2 >= tallest && !cuts[size_t(m)].top && !cuts[size_t(m)].bottom)
            letters.push_back(m);
    if (letters.size() < 5)
        return false;
    std::vector<int> tops, feet;
    for (int m : letters) {
        const cv::Rect& r = blobs[size_t(m)].box;
        tops.push_back(r.y);
        feet.push_back(r.y + r.height);
    }
    const double tolerance = std::max(1.0, 0.06 * tallest);
    const auto share = [&](const std::vector<int>& v, int middle, double within) {
        return std::count_if(v.begin(), v.end(), [&](int x) { return std::abs(x - middle) <= within; });
    };
    const long n = long(letters.size());
    const bool shareTop = share(tops, SignatureInk::Median(tops), tolerance) * 10 >= n * 7;
    const bool shareFoot = share(feet, SignatureInk::Median(feet), tolerance) * 10 >= n * 7;
    return shareTop && shareFoot;
}

// Where a line taken out runs: the middle of its ink in each column, on
// the block grid, highest and lowest over its length. The few columns where
// writing crosses keep only a part of the line's thickness, whose middle
// lies off the line's: a twentieth of the columns at either extreme are
// left out.
struct Course {
    double high = 0, low = 0;
    double bend() const { return low - high; } // in blocks
};

Course CourseOf(const SignatureInk::Analysis& a, const Blob& line)
{
    const cv::Mat own = a.lineParts(line.box) == line.label;
    std::vector<double> middles;
    for (int x = 0; x < own.cols; ++x) {
        double sum = 0;
        int n = 0;
        for (int y = 0; y < own.rows; ++y)
            if (own.at<uchar>(y, x)) {
                sum += y;
                ++n;
            }
        if (n > 0)
            middles.push_back(line.box.y + sum / n);
    }
    if (middles.empty())
        return {};
    std::sort(middles.begin(), middles.end());
    const size_t trimmed = middles.size() / 20;
    return Course{middles[trimmed], middles[middles.size() - 1 - trimmed]};
}

// A line as straight as a ruler and parallel to the form's rules (which the
// picture was turned upright by) that reaches past both ends of the writing:
// a rule cut short by the box's sides or the page, not an underline. The
// writing that sits on a rule cuts it into pieces, which are one rule when
// they lie in one row: within twice a ruler's bend of each other, for what
// is left of the page's tilt over the whole rule.
bool RuleAcross(const SignatureInk::Analysis& a, const std::vector<Course>& courses, size_t line, const cv::Rect& writing)
{
    const Course& c = courses[line];
    if (c.bend() > RuledBend)
        return false;
    int left = a.blobs[line].box.x, right = a.blobs[line].box.br().x;
    for (size_t j = 0; j < a.blobs.size(); ++j)
        if (a.blobs[j].printedLine && courses[j].bend() <= RuledBend
            && std::max(c.low, courses[j].low) - std::min(c.high, courses[j].high) <= 2 * RuledBend) {
            left = std::min(left, a.blobs[j].box.x);
            right = std::max(right, a.blobs[j].box.br().x);
        }
    return left < writing.x && right > writing.br().x;
}

// The small parts (dots, short letters, the pieces of a stroke cut by a
// printed rule) that lie within the writing's reach and are not part of
// a printed line of their own.
bool ByPrint(const std::vector<Blob>& blobs, const std::vector<char>& printedRow, const cv::Rect& box, double glyph)
{
    const cv::Rect around = Expanded(box, int(0.6 * glyph) + 1, int(0.6 * glyph) + 1);
    for (size_t i = 0; i < blobs.size(); ++i)
        if (printedRow[i] && !(blobs[i].box & around).empty())
            return true;
    return false;
}

void Attach(const std::vector<Blob>& blobs, const std::vector<Cut>& cuts, const std::vector<char>& printedRow,
            double glyph, Cluster& c)
{
    std::vector<char> in(blobs.size(), 0);
    for (int m : c.members)
        in[size_t(m)] = 1;
    // Small parts are near the writing itself, not near one another: the
    // dashes of a rule would otherwise lead along it, one to the next.
    const int h0 = c.box.height;
    const cv::Rect near = Expanded(c.box, int(0.08 * h0) + 1, int(0.08 * h0) + 1);
    for (bool grown = true; grown;) {
        grown = false;
        const int h = c.box.height;
        const cv::Rect reach = Expanded(c.box, int(0.35 * h), int(0.2 * h));
        for (size_t i = 0; i < blobs.size(); ++i) {
            const Blob& b = blobs[i];
            if (in[i] || printedRow[i])
                continue;
            // The broken-off tip of a thin stroke is a speck right by it.
            if (b.kind == SignatureInk::Kind::Speck) {
                if ((b.box & near) == b.box) {
                    in[i] = 1;
                    c.members.push_back(int(i));
                }
                continue;
            }
            // A broad letter in heavy ink can fill its box nearly as a
            // picture does; one no larger than the writing, within its
            // rows and with paper in its counters, is the hand's.
            const bool heavyLetter = b.kind == SignatureInk::Kind::Picture && b.box.height <= h
                && b.box.width <= 2 * h && b.area * 20 < b.box.area() * 17 && b.box.y >= c.box.y - h / 5
                && b.box.br().y <= c.box.br().y + h / 5;
            if (b.kind != SignatureInk::Kind::Stroke && !heavyLetter)
                continue;
            // A flat sliver along a line taken out is what the line left.
            if (cuts[i].stub
                || (b.area < SmallPart && b.box.height <= 2 && b.box.width > b.box.height && (cuts[i].top || cuts[i].bottom)))
                continue;
            // Specks of dirt lie anywhere: a part as small as a speck joins
            // only from close by.
            const cv::Rect& from = b.area < SmallPart ? near : reach;
            if ((b.box & from).area() * 2 < b.box.area() && !(heavyLetter && (b.box & from).area() > 0))
                continue;
            // The dot of a printed i or j, between a label and the writing,
            // sits by its own letter.
            if (b.area < SmallPart && ByPrint(blobs, printedRow, b.box, glyph))
                continue;
            // Never more than doubling the writing's height.
            const cv::Rect grownBox = c.box | b.box;
            if (grownBox.height > 2 * std::max(h, 1) || grownBox.width > 2 * std::max(c.box.width, h))
                continue;
            in[i] = 1;
            c.members.push_back(int(i));
            c.box = grownBox;
            c.ink += b.area;
            grown = true;
        }
    }
}

} // namespace

Found Find(const QImage& picture, int threshold)
{
    const QImage source = SignatureInk::Usable(picture);
    const SignatureInk::Analysis a = SignatureInk::Analyse(source, threshold);
    if (a.blobs.empty())
        return {};
    const double glyph = GlyphHeight(a.blobs);
    const std::vector<Cut> cuts = CutEdges(a);
    const std::vector<char> printedRow = PrintedRows(a.blobs, cuts, glyph);
    std::vector<int> seeds;
    int strokes = 0;
    for (size_t i = 0; i < a.blobs.size(); ++i) {
        if (a.blobs[i].kind != SignatureInk::Kind::Stroke)
            continue;
        ++strokes;
        if (a.blobs[i].box.height >= HandOverPrint * glyph && !printedRow[i])
            seeds.push_back(int(i));
    }
    // A picture of a signature alone has no print to compare with: its
    // strokes are all seeds.
    if (seeds.empty() && strokes <= LoneStrokes)
        for (size_t i = 0; i < a.blobs.size(); ++i)
            if (a.blobs[i].kind == SignatureInk::Kind::Stroke && a.blobs[i].area >= 4)
                seeds.push_back(int(i));
    // Lines of large print first (a title, typed data): each row of tall
    // parts that looks printed is left out before the writing is gathered,
    // so that a signature just under a typed line is not joined to it.
    std::vector<char> excluded = printedRow;
    for (const Cluster& row : Gather(a.blobs, a.lineParts, cuts, seeds, printedRow, 0.0))
        if (row.box.height <= LargePrint * glyph && LooksPrinted(a.blobs, cuts, row))
            for (int m : row.members)
                excluded[size_t(m)] = 1;
    std::erase_if(seeds, [&](int i) { return excluded[size_t(i)] != 0; });
    std::vector<Cluster> clusters = Gather(a.blobs, a.lineParts, cuts, seeds, excluded, LineGap);
    // A cluster that looks printed is print unless it is larger than any
    // print: a hand as regular as type (a name in neat separate letters).
    const Cluster* best = nullptr;
    for (const Cluster& c : clusters)
        if ((c.box.height > LargePrint * glyph || !LooksPrinted(a.blobs, cuts, c)) && (!best || c.ink > best->ink))
            best = &c;
    if (!best)
        return {};
    Cluster chosen = *best;
    Attach(a.blobs, cuts, excluded, glyph, chosen);
    // An underline drawn straight enough to pass for a printed line: it
    // lies under the writing and spans little more than it, where a rule
    // of the form runs on beyond. On a page upside down it lies over the
    // writing, along most of it, with at most the tips of letters above
    // it: a piece of the rule the letters stand on runs through them. One
    // that reaches past both ends of the writing as straight as a ruler and
    // parallel to the form's rules is a rule cut short, by the box's sides
    // or the page.
    const cv::Rect w = chosen.box;
    std::vector<Course> courses(a.blobs.size());
    for (size_t i = 0; i < a.blobs.size(); ++i)
        if (a.blobs[i].printedLine)
            courses[i] = CourseOf(a, a.blobs[i]);
    for (size_t i = 0; i < a.blobs.size(); ++i) {
        const cv::Rect& l = a.blobs[i].box;
        if (!a.blobs[i].printedLine || l.width < l.height)
            continue;
        const bool under = l.y >= w.y + w.height / 3 && l.y <= w.y + 1.4 * w.height;
        const bool over = l.y <= w.y + 2 * SignatureInk::LineThickness && l.br().y <= w.br().y - w.height / 3
            && l.br().y >= w.y - 0.4 * w.height && 2 * l.width >= w.width;
        if (l.x >= w.x - 0.15 * w.width && l.x + l.width <= w.x + 1.15 * w.width && (under || over)
            && !RuleAcross(a, courses, i, w))
            chosen.members.push_back(int(i));
    }
    return SignatureInk::Locate(source, threshold, a, chosen.members);
}

} // namespace SignatureFinder
