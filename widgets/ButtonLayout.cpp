#include "ButtonLayout.h"

ButtonLayout CalcLayout(int W, int H, int pw, int ph, int position, bool hasPicture,
                        bool captionBlank, const std::function<QSize(const EdgeRect&)>& measure)
{
    ButtonLayout layout;
    EdgeRect& c = layout.caption;
    switch (position) {
    case 0:
        c = {pw + 1, 1, W - 2, H - 2};
        break;
    case 1:
        c = {1, 1, W - pw - 2, H - 2};
        break;
    case 2:
        c = {1, ph + 1, W - 2, H - 2};
        break;
    case 3:
        c = {1, 1, W - 2, H - ph - 2};
        break;
    default:
        c = {1, 1, W - 2, H - 2};
        break;
    }

    const QSize extent = measure(c);
    c.right = c.left + extent.width();
    c.bottom = c.top + extent.height();

    int dx = (W - c.right) / 2;
    int dy = (H - c.bottom) / 2;
    if (position == 1)
        dx = (W - c.right - pw - 4) / 2;
    else if (position == 3)
        dy = (H - c.bottom - ph - 4) / 2;
    c = {c.left + dx, c.top + dy, c.right + dx, c.bottom + dy};
    layout.pressedCaption = {c.left + 1, c.top + 1, c.right + 1, c.bottom + 1};

    if (!hasPicture)
        return layout;
    if (!captionBlank && position >= 0 && position <= 3) {
        switch (position) {
        case 0:
            layout.pictureLeft = c.left - pw - 4;
            layout.pictureTop = (H - ph) / 2;
            break;
        case 1:
            layout.pictureLeft = c.right + 4;
            layout.pictureTop = (H - ph) / 2;
            break;
        case 2:
            layout.pictureLeft = (W - pw) / 2;
            layout.pictureTop = c.top - ph - 2;
            break;
        case 3:
            layout.pictureLeft = (W - pw) / 2;
            layout.pictureTop = c.bottom + 2;
            break;
        }
    } else {
        layout.pictureLeft = (W - pw) / 2;
        layout.pictureTop = (H - ph) / 2;
    }
    return layout;
}
