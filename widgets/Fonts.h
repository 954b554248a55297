#pragma once
// The program's fonts are given in points as on a 96 DPI screen and used as
// pixel sizes, so that captions keep their place in the pixel layouts
// whatever the screen reports.

#include <QFont>

// Arial where it is installed, else its metric twin Liberation Sans.
QString UiFontFamily();

// 12 pt -> 16 px, 27.75 pt -> 37 px (rounded half to even).
int PointsToPixels(double points);

QFont UiFont(double points, bool bold);

// The family a stored font name stands for here: Arial is Liberation Sans
// where Arial is not installed.
QString ResolvedFamily(const QString& name);

// Inverse of PointsToPixels: 16 px -> 12 pt, 37 px -> 27.75 pt.
double PixelsToPoints(int pixels);

// The name a layout stores for a family: Arial for its stand-in.
QString StoredFamily(const QString& family);
