#include "Crown.h"

#include <QLineF>

#include <algorithm>
#include <cmath>
#include <vector>

namespace Crown {

namespace {

// Samples per eye-to-chin distance: enough for a crown within a couple of
// pixels, few enough that grain and JPEG blocks average out in each cell.
constexpr double CellsPerDistance = 80;
// The band searched across, in half face widths (jaw point 0 to 16): the
// middle where the crown is, and beside the head where the background is.
constexpr double MiddleHalfWidth = 0.5;
constexpr double SideFrom = 1.3;
constexpr double SideTo = 1.7;
// The rows at the top of each column that give it its background: few, so
// that a crown just under the photograph's top edge is still found.
constexpr double ReferenceRows = 0.08;
// A change counts when it lasts this far down (eye-to-chin distances) in
// most of its cells: hair runs on to the forehead, a background object
// seldom does.
constexpr double LastingRun = 0.2;
constexpr double LastingShare = 0.8;
// A colour change, in RGB distance, above the background's own spread.
constexpr double LeastStep = 10;
constexpr double SpreadFactor = 3;
// How much higher the band reaches each time its top is found in the
// head (hair standing high), in eye-to-chin distances, and how many times.
constexpr double ReachStep = 0.35;
constexpr int MostReaches = 2;
// The share of the middle columns that must have found an edge.
constexpr double EnoughColumns = 0.4;
// The crown is the edge of the higher columns, not their median: the top
// of the head is round and only the middle columns reach it.
constexpr double HigherColumns = 0.2;

struct Cell {
    float r = 0, g = 0, b = 0;
    float texture = 0; // mean deviation of the cell's luminance
    bool valid = false;
};

float Distance(const Cell& a, const Cell& b)
{
    const float dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return std::sqrt(dr * dr + dg * dg + db * db) + std::max(0.0f, a.texture - b.texture);
}

// The picture resampled in the head's own frame: u along the eye line from
// the eye middle, v down towards the chin, in cells of `step` pixels.
class HeadGrid {
public:
    HeadGrid(const QImage& picture, const QRect& photograph, const FaceLandmarks::Face& face, double step,
             double uFrom, double uTo, double vFrom, double vTo);
    int columns() const { return columns_; }
    int rows() const { return rows_; }
    const Cell& at(int column, int row) const { return cells_[size_t(row) * size_t(columns_) + size_t(column)]; }
    double u(int column) const { return uFrom_ + (column + 0.5) * step_; }
    double v(int row) const { return vFrom_ + (row + 0.5) * step_; }
    int column(double u) const { return int(std::floor((u - uFrom_) / step_)); }
    int row(double v) const { return int(std::floor((v - vFrom_) / step_)); }
    QPointF picturePoint(double u, double v) const { return origin_ + u * along_ + v * down_; }

private:
    Cell sample(const QImage& region, QPoint regionAt, QPointF at) const;

    QPointF origin_, along_, down_;
    double step_, uFrom_, vFrom_;
    int columns_, rows_;
    std::vector<Cell> cells_;
};

HeadGrid::HeadGrid(const QImage& picture, const QRect& photograph, const FaceLandmarks::Face& face, double step,
                   double uFrom, double uTo, double vFrom, double vTo)
    : step_(step), uFrom_(uFrom), vFrom_(vFrom)
{
    const double angle = face.rollDegrees() * M_PI / 180.0;
    origin_ = face.eyeMiddle();
    along_ = QPointF(std::cos(angle), std::sin(angle));
    down_ = QPointF(-std::sin(angle), std::cos(angle));
    columns_ = std::max(1, int(std::ceil((uTo - uFrom) / step)));
    rows_ = std::max(1, int(std::ceil((vTo - vFrom) / step)));
    cells_.resize(size_t(columns_) * size_t(rows_));
    QRectF reach;
    for (const QPointF corner : {picturePoint(uFrom, vFrom), picturePoint(uTo, vFrom), picturePoint(uFrom, vTo),
                                 picturePoint(uTo, vTo)})
        reach = reach.isNull() ? QRectF(corner, QSizeF(1, 1)) : reach.united(QRectF(corner, QSizeF(1, 1)));
    const QRect inside = reach.toAlignedRect().adjusted(-2, -2, 2, 2) & photograph & picture.rect();
    if (inside.isEmpty())
        return;
    const QImage region = picture.copy(inside).convertToFormat(QImage::Format_RGB32);
    for (int row = 0; row < rows_; ++row)
        for (int col = 0; col < columns_; ++col)
            cells_[size_t(row) * size_t(columns_) + size_t(col)] =
                sample(region, inside.topLeft(), picturePoint(u(col), v(row)));
}

// The mean of 3 x 3 points spread over the cell; invalid when any falls
// outside the photograph.
Cell HeadGrid::sample(const QImage& region, QPoint regionAt, QPointF at) const
{
    Cell cell;
    float lum[9];
    int n = 0;
    const double spread = step_ / 3.0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int x = int(std::floor(at.x() + dx * spread)) - regionAt.x();
            const int y = int(std::floor(at.y() + dy * spread)) - regionAt.y();
            if (x < 0 || y < 0 || x >= region.width() || y >= region.height())
                return Cell{};
            const QRgb c = reinterpret_cast<const QRgb*>(region.constScanLine(y))[x];
            cell.r += float(qRed(c));
            cell.g += float(qGreen(c));
            cell.b += float(qBlue(c));
            lum[n++] = 0.299f * float(qRed(c)) + 0.587f * float(qGreen(c)) + 0.114f * float(qBlue(c));
        }
    cell.r /= 9;
    cell.g /= 9;
    cell.b /= 9;
    const float mean = 0.299f * cell.r + 0.587f * cell.g + 0.114f * cell.b;
    for (float l : lum)
        cell.texture += std::abs(l - mean) / 9;
    cell.valid = true;
    return cell;
}

// The mean of the valid cells of a block and their spread around it.
struct Reference {
    Cell mean;
    double spread = 0;
    int count = 0;
};

Reference ReferenceOf(const HeadGrid& grid, int colFrom, int colTo, int rowFrom, int rowTo)
{
    std::vector<Cell> cells;
    for (int row = std::max(0, rowFrom); row < std::min(rowTo, grid.rows()); ++row)
        for (int col = std::max(0, colFrom); col < std::min(colTo, grid.columns()); ++col)
            if (grid.at(col, row).valid)
                cells.push_back(grid.at(col, row));
    Reference ref;
    ref.count = int(cells.size());
    if (cells.empty())
        return ref;
    for (const Cell& c : cells) {
        ref.mean.r += c.r / float(ref.count);
        ref.mean.g += c.g / float(ref.count);
        ref.mean.b += c.b / float(ref.count);
        ref.mean.texture += c.texture / float(ref.count);
    }
    ref.mean.valid = true;
    for (const Cell& c : cells)
        ref.spread += double(Distance(c, ref.mean)) / ref.count;
    return ref;
}

double Threshold(const Reference& ref)
{
    return LeastStep + SpreadFactor * ref.spread;
}

struct ColumnEdge {
    int row = -1;              // the first row of the head, -1 when none
    bool startsInHead = false; // the photograph's top edge cuts the head
    bool usable = false;
    bool topInHead = false; // the band's own top rows are unlike the background
};

// Down one column from the top of the photograph or of the band: the first
// lasting change from the background above it.
ColumnEdge EdgeInColumn(const HeadGrid& grid, int col, int referenceRows, int run, int lastRow,
                        const Reference sides[2])
{
    ColumnEdge edge;
    int first = 0;
    while (first < grid.rows() && !grid.at(col, first).valid)
        ++first;
    if (first + referenceRows > lastRow)
        return edge;
    edge.usable = true;
    const Reference ref = ReferenceOf(grid, col, col + 1, first, first + referenceRows);
    // What lies at the top of the column is background only when it looks
    // like the background beside the head. Where the photograph's top edge
    // cuts the band, the head runs on past the edge; where the band's own
    // top is in the head, the hair stands higher than the band reaches.
    bool likeSides = false, sideSeen = false;
    for (int side = 0; side < 2; ++side) {
        sideSeen |= sides[side].count > 0;
        likeSides |= sides[side].count > 0 && Distance(ref.mean, sides[side].mean) <= Threshold(sides[side]);
    }
    if (!likeSides && first > 0) {
        edge.startsInHead = true;
        return edge;
    }
    edge.topInHead = sideSeen && !likeSides;
    const double threshold = Threshold(ref);
    Cell background = ref.mean;
    // Most cells of the run from row on differ from the background by more
    // than limit.
    const auto lasting = [&](int row, double limit) {
        int differing = 0;
        for (int k = row; k < std::min(row + run, grid.rows()); ++k)
            differing += grid.at(col, k).valid && Distance(grid.at(col, k), background) > limit;
        return differing >= LastingShare * run;
    };
    // A change into something even (dark hair under a dark, patchy
    // background) is judged against the spread of both sides: the
    // background's alone may hide it.
    const auto evenChange = [&](int row) {
        const Reference below = ReferenceOf(grid, col, col + 1, row, row + run);
        if (below.count < LastingShare * run)
            return false;
        const double pooled = LeastStep + SpreadFactor * (ref.spread + below.spread) / 2;
        return Distance(grid.at(col, row), background) > pooled && Distance(below.mean, background) > pooled
            && lasting(row, pooled);
    };
    for (int row = first + referenceRows; row <= lastRow; ++row) {
        const Cell& c = grid.at(col, row);
        if (!c.valid)
            return edge;
        if (evenChange(row)) {
            edge.row = row;
            return edge;
        }
        if (Distance(c, background) <= threshold) {
            // The background may shade slowly down the column.
            background.r += (c.r - background.r) * 0.1f;
            background.g += (c.g - background.g) * 0.1f;
            background.b += (c.b - background.b) * 0.1f;
            background.texture += (c.texture - background.texture) * 0.1f;
            continue;
        }
        if (lasting(row, threshold)) {
            edge.row = row;
            return edge;
        }
    }
    return edge;
}

// The crown from the columns' edges: the photograph's top edge when it cuts
// most columns in the head, the estimate when too few found an edge.
Found FromEdges(const HeadGrid& grid, Found found, const QRect& photograph, std::vector<std::pair<int, int>> edges,
                int usable, int cut, double step)
{
    if (usable > 0 && 2 * cut > usable) {
        found.reachesTop = true;
        found.y = std::min(found.y, double(photograph.top()));
        return found;
    }
    if (usable == 0 || edges.size() < EnoughColumns * usable)
        return found;
    std::sort(edges.begin(), edges.end());
    const auto& [row, col] = edges[size_t(HigherColumns * double(edges.size() - 1))];
    found.y = grid.picturePoint(grid.u(col), grid.v(row) - step / 2).y();
    found.measured = true;
    return found;
}

} // namespace

Found Measure(const QImage& picture, const FaceLandmarks::Face& face, const QRect& photograph)
{
    Found found{Estimated(face), false, false};
    const double distance = QLineF(face.eyeMiddle(), face.chin()).length();
    if (distance < 8)
        return found;
    const double angle = face.rollDegrees() * M_PI / 180.0;
    const QPointF across(std::cos(angle), std::sin(angle));
    const QPointF jaw = face.points[16] - face.points[0];
    double halfWidth = std::abs(QPointF::dotProduct(jaw, across)) / 2;
    if (halfWidth < 0.3 * distance)
        halfWidth = 0.7 * distance;
    // The brows' height in the head's frame.
    double browV = 0;
    for (int i = 17; i <= 26; ++i)
        browV = std::min(browV, QPointF::dotProduct(face.points[i] - face.eyeMiddle(), QPointF(-across.y(), across.x())));
    const double step = std::max(1.0, distance / CellsPerDistance);
    const double referenceHeight = ReferenceRows * distance;
    const int referenceRows = std::max(2, int(std::lround(referenceHeight / step)));
    const int run = std::max(3, int(std::lround(LastingRun * distance / step)));
    // The band reaches as high as the tuning people's crowns; where its top
    // is in the head across most of the middle (hair standing higher than
    // theirs), it is searched again reaching higher.
    for (int reach = 0;; ++reach) {
        const double farthest = FarthestAboveBrows + reach * ReachStep;
        const HeadGrid grid(picture, photograph, face, step, -SideTo * halfWidth, SideTo * halfWidth,
                            browV - farthest * distance - referenceHeight, browV);
        const int lastRow = grid.row(browV - NearestAboveBrows * distance);
        const int sideLast = grid.row(browV - 0.5 * distance);
        const Reference sides[2] = {
            ReferenceOf(grid, grid.column(-SideTo * halfWidth), grid.column(-SideFrom * halfWidth), 0, sideLast),
            ReferenceOf(grid, grid.column(SideFrom * halfWidth), grid.column(SideTo * halfWidth) + 1, 0, sideLast)};
        std::vector<std::pair<int, int>> edges; // row, column
        int usable = 0, cut = 0, inHead = 0;
        for (int col = grid.column(-MiddleHalfWidth * halfWidth); col <= grid.column(MiddleHalfWidth * halfWidth);
             ++col) {
            const ColumnEdge edge = EdgeInColumn(grid, col, referenceRows, run, lastRow, sides);
            usable += edge.usable;
            cut += edge.startsInHead;
            inHead += edge.topInHead;
            if (edge.row >= 0)
                edges.emplace_back(edge.row, col);
        }
        if (usable > 0 && 2 * inHead > usable && reach < MostReaches)
            continue;
        return FromEdges(grid, found, photograph, edges, usable, cut, step);
    }
}

double Estimated(const FaceLandmarks::Face& face)
{
    const double distance = QLineF(face.eyeMiddle(), face.chin()).length();
    return face.browTop() - EstimatedAboveBrows * distance;
}

} // namespace Crown
