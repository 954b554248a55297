#include "AnalizzaFirma.h"

AnalizzaFirma::AnalizzaFirma(const Services& services, QWidget* parent)
    : FramingEditor(EditorKind::Signature(), services, parent)
{
}

void AnalizzaFirma::SalvaP_Click()
{
    // The signature save is built with the output files.
}
