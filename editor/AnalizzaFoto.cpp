#include "AnalizzaFoto.h"

#include "Fonts.h"
#include "chameleonButton.h"

AnalizzaFoto::AnalizzaFoto(const Services& services, QWidget* parent)
    : FramingEditor(EditorKind::Photo(), services, parent)
{
    TestP = new chameleonButton(this);
    TestP->setGeometry(kind().TestP);
    TestP->setButtonType(3);
    TestP->setBackColor(MakeOleColor(236, 233, 216));
    TestP->setFont(UiFont(12, true));
    TestP->setCaption(QStringLiteral("Test"));
    connect(TestP, &chameleonButton::Click, this, &AnalizzaFoto::TestP_Click);

    MsgL = new chameleonButton(this);
    MsgL->setGeometry(kind().MsgL);
    MsgL->setButtonType(3);
    MsgL->setColorScheme(2);
    MsgL->setBackColor(MakeOleColor(255, 255, 0));
    MsgL->setFont(UiFont(27.75, true));
    MsgL->setFocusPolicy(Qt::NoFocus);
    MsgL->setCaption(QStringLiteral("Attendi..."));
    MsgL->hide();
}

void AnalizzaFoto::FinishLoad()
{
    Busy = false;
}

void AnalizzaFoto::SalvaP_Click()
{
    // The photo save is built with the output files.
}

void AnalizzaFoto::TestP_Click()
{
    // The portal check is built with its web page component.
}
