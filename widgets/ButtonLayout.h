#pragma once
// Where a button puts its caption and its picture: pure arithmetic over the
// button's size, the picture's size, the picture position and the measured
// caption. Integer divisions truncate toward zero.

#include <QSize>

#include <functional>

// A rectangle given by its edges, right and bottom exclusive.
struct EdgeRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const EdgeRect&) const = default;
};

struct ButtonLayout {
    EdgeRect caption;
    EdgeRect pressedCaption; // caption moved 1 right and 1 down
    int pictureLeft = 0;
    int pictureTop = 0;
};

// Picture positions: 0 left of the caption, 1 right, 2 above, 3 below,
// 4 behind (centred, caption drawn over it).
// measure gives the extent of the word-wrapped caption laid out in the
// given rectangle. hasPicture: a normal or hover picture is set; captionBlank:
// the caption trimmed of spaces is empty.
ButtonLayout CalcLayout(int width, int height, int pictureWidth, int pictureHeight,
                        int picturePosition, bool hasPicture, bool captionBlank,
                        const std::function<QSize(const EdgeRect&)>& measure);
