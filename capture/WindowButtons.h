#pragma once
// The buttons of the webcam and configuration windows: style 3, colour
// scheme 1 on the window's face colour, with a caption, a picture or both.

#include <QColor>
#include <QRect>
#include <QString>

class QWidget;
class chameleonButton;

// picture names a file of the program's button pictures (":/buttons/"),
// empty for none. A button without caption shows its picture centred.
chameleonButton* MakeWindowButton(QWidget* parent, const QRect& box, const QString& caption,
                                  const QString& picture);

// The face colour of these windows and their buttons.
QColor WindowFaceColor();
