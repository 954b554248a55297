#include "AnalizzaFoto.h"

#include "LayoutButtons.h"
#include "chameleonButton.h"

AnalizzaFoto::AnalizzaFoto(const Services& services, QWidget* parent)
    : FramingEditor(EditorKind::Photo(), services, parent)
{
    TestP = buttons().button(u"TestP");
    connect(TestP, &chameleonButton::Click, this, &AnalizzaFoto::TestP_Click);
    MsgL = buttons().button(u"MsgL");
    MsgL->setFocusPolicy(Qt::NoFocus); // a message panel, not a command
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
