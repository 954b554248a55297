#pragma once
// Builds the buttons of a window from the window's stored layout (a file in
// the resources, see LayoutFile.h for its text form).
//
// A window keeps its buttons in resources/layouts/<Window>.layout, one
// section per button with its place and its stored properties, and builds
// them in its CreateControls:
//
//     const LayoutButtons buttons(this, QStringLiteral(":/layouts/FormCFG.layout"));
//     OkP = buttons.button(u"OkP");
//     EsciP = buttons.button(u"EsciP");
//
// Each button is created as a child of the window in the order of the file
// (later ones draw above earlier ones), named after its section, placed at
// left, top with the size of _extentx, _extenty, and given its properties
// through ReadProperties. Add the file to resources/resources.qrc under the
// prefix /layouts. The layouts are part of the program, so a broken or
// missing one, or a button name the layout does not have, stops the program
// at once with a message naming it.

#include <QHash>
#include <QList>
#include <QString>

class QWidget;
class chameleonButton;
struct StoredControl;

class LayoutButtons {
public:
    LayoutButtons(QWidget* window, const QString& layoutPath);

    chameleonButton* button(QStringView name) const;
    const QList<chameleonButton*>& all() const { return all_; }

    // One button of a stored control, as a child of window.
    static chameleonButton* Build(QWidget* window, const StoredControl& control);

private:
    QString path_;
    QHash<QString, chameleonButton*> byName_;
    QList<chameleonButton*> all_;
};
