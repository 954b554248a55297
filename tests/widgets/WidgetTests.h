#pragma once
// The test classes of the widgets folder; main.cpp runs them one after the
// other.

#include "OleColor.h"

#include <QColor>
#include <QImage>
#include <QObject>

#include <memory>

std::unique_ptr<QObject> MakeWidgetsTest();
std::unique_ptr<QObject> MakeButtonRulesTest();
std::unique_ptr<QObject> MakeButtonDrawingTest();
std::unique_ptr<QObject> MakeButtonInputTest();
std::unique_ptr<QObject> MakeButtonStoreTest();

// A pixel of a surface as an OleColor, so that failures print numbers.
inline OleColor PixelAt(const QImage& image, int x, int y)
{
    const QColor c = image.pixelColor(x, y);
    return MakeOleColor(c.red(), c.green(), c.blue());
}
