#pragma once
// The face of the webcam and configuration windows, the colour of their
// buttons too (236, 233, 216).

#include <QPalette>
#include <QWidget>

inline QColor WindowFaceColor()
{
    return QColor(236, 233, 216);
}

inline void UseWindowFace(QWidget& window)
{
    window.setAutoFillBackground(true);
    QPalette face = window.palette();
    face.setColor(QPalette::Window, WindowFaceColor());
    window.setPalette(face);
}
