#include "AnalizzaFirma.h"

#include "ImageControl.h"
#include "Numbers.h"
#include "OutputSave.h"
#include "PictureView.h"
#include "SettingsStore.h"
#include "SignatureFinder.h"

AnalizzaFirma::AnalizzaFirma(const Services& services, QWidget* parent)
    : FramingEditor(EditorKind::Signature(), services, parent)
{
}

void AnalizzaFirma::SalvaP_Click()
{
    if (OutputSave::SaveSignature(saveContext(), Imgd->picture(), SelWidth, SelHeight, ResultBitmap))
        accept();
}

QRect AnalizzaFirma::FindSubject()
{
    const long long threshold = qBound(
        0LL, Numbers::RoundHalfEven(services().settings.readNumber(QStringLiteral("bnVal"), QStringLiteral("170"))), 255LL);
    return SignatureFinder::Find(Pbi->picture(), int(threshold)).selection;
}
