#pragma once
// The arithmetic of framing: scroll bar set-up, the first selection, the
// built-in starting scroll values, hit zones, the three drag steps with the
// photo's proportion correction, and the fit of the signature preview.
// Positions and sizes are 16-bit; real-to-integer conversions round half to
// even unless they are truncations; ratios are single precision.

#include "EditorKind.h"

#include <QRect>
#include <QtGlobal>

#include <vector>

namespace Framing {

// w / h as a single-precision number, the way every ratio here is taken.
float SingleRatio(double numerator, double denominator);

struct ScrollSetup {
    bool enabled = false;
    int smallStep = 1;
    int largeStep = 1;
    int maximum = 32767;
    qint16 view = 0; // extent in which the selection may lie
};
// For a viewport of the given extent (border included) over a picture.
ScrollSetup SetUpScroll(int viewport, int picture);

// The selection, relative to the viewport's top-left corner.
struct Selection {
    qint16 left = 0;
    qint16 top = 0;
    qint16 width = 0;
    qint16 height = 0;
    bool operator==(const Selection&) const = default;
};

// 90 % of the view with the editor's proportion, centred.
Selection InitialSelection(qint16 viewWidth, qint16 viewHeight, const EditorKind& kind);

struct ScrollAssignment {
    enum Bar { Horizontal, Vertical } bar;
    int value;
    bool operator==(const ScrollAssignment&) const = default;
};
// The editor's starting scroll values for a picture of this size, in the
// order they are set.
std::vector<ScrollAssignment> BuiltInPresets(int pictureWidth, int pictureHeight, const EditorKind& kind);

// Drag modes.
enum : qint16 { Idle = 0, Moving = 1, ResizingBottomRight = 2, ResizingTopLeft = 3 };

// Mouse pointer codes.
enum : int { PointerDefault = 0, PointerFourWay = 15, PointerDiagonal = 8, PointerVertical = 7,
             PointerHorizontal = 9 };

// The selection's edges in picture coordinates for scroll values h and v.
struct Edges {
    int left, top, right, bottom;
};
Edges EdgesOf(const Selection& s, int h, int v);
bool InSelection(const Edges& e, float x, float y);
bool InBottomRightGrip(const Edges& e, float x, float y);
bool InTopLeftGrip(const Edges& e, float x, float y);

struct Press {
    qint16 dragMode = Idle;
    qint16 grabDX = 0;
    qint16 grabDY = 0;
};
// A press with the given button mask at picture position x, y.
Press PressAt(int buttons, float x, float y, const Selection& s, int h, int v);

// The pointer shown while hovering at x, y.
int HoverPointer(const Selection& s, int h, int v, float x, float y);

struct Step {
    Selection selection;
    int pointer = -1; // -1: the pointer is not changed
};
struct View {
    qint16 width;
    qint16 height;
};
Step MoveStep(const Selection& s, float x, float y, qint16 grabDX, qint16 grabDY, View view);
Step ResizeBottomRightStep(const Selection& s, float x, float y, int h, int v, View view, const EditorKind& kind);
Step ResizeTopLeftStep(const Selection& s, float x, float y, int h, int v, View view, const EditorKind& kind);

struct Proportioned {
    int width;
    int height;
    int pointer;
};
// The photo's 0.828: the side that makes the selection too wide or too tall
// is recomputed from the other.
Proportioned CorrectProportion(int width, int height);

// A key press of the keyboard framing: the selection moved by dx, dy, or,
// resizing, its bottom-right corner moved by them; bounds as for a drag.
// The photo's other side follows by the proportion correction: from the
// width for a step across, from the height for a step down.
Step KeyMoveStep(const Selection& s, int dx, int dy, View view);
Step KeyResizeStep(const Selection& s, int dx, int dy, int h, int v, View view, const EditorKind& kind);

// Scroll values and the viewport-relative selection that show a rectangle
// of the picture: the rectangle's middle scrolled to the middle of the view
// as far as the bars go (a disabled bar has maximum 0), a rectangle larger
// than the view shrunk about its middle keeping its proportion so that it
// stays inside the view with the bounds of a drag.
struct Placement {
    Selection selection;
    int h = 0;
    int v = 0;
    bool operator==(const Placement&) const = default;
};
Placement PlaceInView(const QRect& target, View view, int maximumH, int maximumV);

// Where the signature preview of a width x height crop goes inside the
// 706 x 138 area one pixel inside the frame whose top-left is frame.
QRect SignaturePreview(int width, int height, QPoint frame);

} // namespace Framing
