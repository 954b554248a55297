#include "WindowButtons.h"

#include "Fonts.h"
#include "OleColor.h"
#include "chameleonButton.h"

namespace {
constexpr OleColor ButtonFace = MakeOleColor(236, 233, 216);
}

chameleonButton* MakeWindowButton(QWidget* parent, const QRect& box, const QString& caption,
                                  const QString& picture)
{
    auto* button = new chameleonButton(parent);
    button->setGeometry(box);
    button->setButtonType(3);
    button->setColorScheme(1);
    button->setBackColor(ButtonFace);
    button->setFont(UiFont(12, true));
    if (!picture.isEmpty()) {
        button->setPictureNormal(QImage(QStringLiteral(":/buttons/") + picture));
        button->setPicturePosition(0);
    }
    button->setCaption(caption);
    return button;
}

QColor WindowFaceColor()
{
    return ToQColor(ButtonFace);
}
