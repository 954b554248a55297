#include "LayoutButtons.h"

#include "LayoutFile.h"
#include "chameleonButton.h"

#include <QWidget>

namespace {
const QString ButtonClass = QStringLiteral("Ritrax.chameleonButton");
} // namespace

chameleonButton* LayoutButtons::Build(QWidget* window, const StoredControl& control)
{
    auto* b = new chameleonButton(window);
    b->setObjectName(control.name);
    // Placed first, so that the layout ReadProperties computes has the
    // button's size even before the window shows it.
    b->setGeometry(control.left, control.top, HimetricToPixels(control.bag.ReadInt32(u"_extentx", 0)),
                   HimetricToPixels(control.bag.ReadInt32(u"_extenty", 0)));
    b->ReadProperties(control.bag);
    return b;
}

LayoutButtons::LayoutButtons(QWidget* window, const QString& layoutPath)
    : path_(layoutPath)
{
    QString error;
    const auto controls = ReadLayoutFile(layoutPath, &error);
    if (!controls)
        qFatal("Layout dei pulsanti non leggibile: %s", qPrintable(error));
    for (const StoredControl& control : *controls) {
        if (control.className.compare(ButtonClass, Qt::CaseInsensitive) != 0)
            continue;
        chameleonButton* b = Build(window, control);
        byName_.insert(control.name, b);
        all_.append(b);
    }
}

chameleonButton* LayoutButtons::button(QStringView name) const
{
    chameleonButton* b = byName_.value(name.toString());
    if (!b)
        qFatal("Il layout %s non ha il pulsante %s", qPrintable(path_), qPrintable(name.toString()));
    return b;
}
