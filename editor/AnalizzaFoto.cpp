#include "AnalizzaFoto.h"

#include "ImageControl.h"
#include "LayoutButtons.h"
#include "OutputSave.h"
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
    if (Busy)
        return;
    if (OutputSave::SavePhoto(saveContext(), Imgd->picture(), ResultBitmap))
        accept();
}

void AnalizzaFoto::TestP_Click()
{
    // The portal check is built with its web page component.
}
