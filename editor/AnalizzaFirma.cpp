#include "AnalizzaFirma.h"

#include "Fonts.h"
#include "ImageControl.h"
#include "NotePanel.h"
#include "Numbers.h"
#include "OutputSave.h"
#include "PictureView.h"
#include "SettingsStore.h"
#include "SignatureFinder.h"

#include <QLabel>

#include <algorithm>

AnalizzaFirma::AnalizzaFirma(const Services& services, QWidget* parent)
    : FramingEditor(EditorKind::Signature(), services, parent)
{
    notePanel = new QLabel(this);
    notePanel->setGeometry(EditorKind::Signature().help);
    StyleAsNotePanel(notePanel);
    notePanel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    notePanel->setMargin(3);
    notePanel->setWordWrap(true);
    notePanel->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    notePanel->setFont(UiFont(9.5, false));
    notePanel->setToolTip(EditorKind::Signature().helpText);
    connect(notePanel, &QLabel::linkActivated, notePanel, &QLabel::hide);
    notePanel->hide();
}

void AnalizzaFirma::SalvaP_Click()
{
    if (GiveBackCrop())
        return;
    if (OutputSave::SaveSignature(saveContext(), Imgd->picture(), SelWidth, SelHeight, ResultBitmap))
        accept();
}

QRect AnalizzaFirma::FindSubject()
{
    notePanel->hide();
    const long long threshold = qBound(
        0LL, Numbers::RoundHalfEven(services().settings.readNumber(QStringLiteral("bnVal"), QStringLiteral("170"))), 255LL);
    return SignatureFinder::Find(Pbi->picture(), int(threshold)).selection;
}

namespace {

// The resolution to acquire the page at for the signature to fit the view:
// the page's own, lowered as much as the signature is too large, down to a
// scanner's usual step. A file that gives no resolution is taken for a
// form scanned at 300 DPI.
int FittingResolution(const QImage& page, QSize subject, QSize fits)
{
    const int own = qRound(page.dotsPerMeterX() * 0.0254);
    const int dpi = own >= 100 && own <= 2400 ? own : 300;
    const double shrink = std::min({1.0, double(fits.width()) / std::max(1, subject.width()),
                                    double(fits.height()) / std::max(1, subject.height())});
    for (const int step : {300, 200, 150})
        if (step <= dpi * shrink)
            return step;
    return 100;
}

} // namespace

void AnalizzaFirma::SubjectTooLarge(const QRect& subject)
{
    notePanel->setText(
        QStringLiteral("<b>Inquadratura automatica:</b> <font color=#c00000>la firma trovata (%1 × %2 pixel) è più "
                       "grande della vista; è inquadrata solo la parte centrale. Allargare a mano non basta: "
                       "acquisire la pagina a una risoluzione più bassa (%3 DPI).</font> "
                       "<a href=\"#\">Mostra le istruzioni</a>")
            .arg(subject.width())
            .arg(subject.height())
            .arg(FittingResolution(Pbi->picture(), subject.size(), QSize(SelWidth, SelHeight))));
    notePanel->show();
    notePanel->raise();
}

void AnalizzaFirma::FinishLoad()
{
    notePanel->hide();
}
