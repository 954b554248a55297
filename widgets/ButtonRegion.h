#pragma once
// The window shape of a button of a given style and size: rounded styles
// lose corner pixels, the oval style is an ellipse.

#include <QRegion>

QRegion MakeRegion(int buttonType, int width, int height);
