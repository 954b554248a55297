#pragma once
// Colours as the program's layouts write them: one 32-bit number with red in
// the low byte, then green, then blue (12632256 is red, green and blue 192).

#include <QColor>

using OleColor = quint32;

constexpr OleColor MakeOleColor(int red, int green, int blue)
{
    return static_cast<OleColor>(red) | (static_cast<OleColor>(green) << 8)
        | (static_cast<OleColor>(blue) << 16);
}

inline QColor ToQColor(OleColor color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}
