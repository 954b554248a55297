#include "AnalizzaFirma.h"

#include "ImageControl.h"
#include "OutputSave.h"

AnalizzaFirma::AnalizzaFirma(const Services& services, QWidget* parent)
    : FramingEditor(EditorKind::Signature(), services, parent)
{
}

void AnalizzaFirma::SalvaP_Click()
{
    if (OutputSave::SaveSignature(saveContext(), Imgd->picture(), SelWidth, SelHeight, ResultBitmap))
        accept();
}
