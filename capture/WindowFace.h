#pragma once
// The face colour of the webcam and configuration windows, that of their
// buttons too (236, 233, 216).

#include <QColor>

inline QColor WindowFaceColor()
{
    return QColor(236, 233, 216);
}
