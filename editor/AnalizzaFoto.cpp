#include "AnalizzaFoto.h"

#include "Fonts.h"
#include "ImageControl.h"
#include "MFreeImage.h"
#include "NotePanel.h"
#include "OutputPipeline.h"
#include "PictureView.h"
#include "PortraitFraming.h"
#include "LayoutButtons.h"
#include "Numbers.h"
#include "OperatorDialogs.h"
#include "OutputSave.h"
#include "PortalCheck.h"
#include "SettingsStore.h"
#include "WebPage.h"
#include "chameleonButton.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>
#include <QScopeGuard>
#include <QThread>

namespace {

// Sleeps ms milliseconds in short slices, letting events run after each, so
// that the window stays responsive and the network keeps moving.
void PauseWithEvents(int ms)
{
    constexpr qint64 Slice = 10;
    QElapsedTimer clock;
    clock.start();
    for (qint64 left = ms; left > 0; left = ms - clock.elapsed()) {
        QThread::msleep(static_cast<unsigned long>(qMin(left, Slice)));
        QCoreApplication::processEvents();
    }
}

} // namespace

AnalizzaFoto::AnalizzaFoto(const Services& services, QWidget* parent)
    : FramingEditor(EditorKind::Photo(), services, parent)
    , wb(new WebPage(this))
{
    TestP = buttons().button(u"TestP");
    connect(TestP, &chameleonButton::Click, this, &AnalizzaFoto::TestP_Click);
    MsgL = buttons().button(u"MsgL");
    MsgL->setFocusPolicy(Qt::NoFocus); // a message panel, not a command
    MsgL->hide();

    // Like a tooltip over the help text (the window has no other free room
    // for it); its own tooltip holds its notes whole.
    checkPanel = new QLabel(this);
    checkPanel->setGeometry(EditorKind::Photo().help);
    StyleAsNotePanel(checkPanel);
    checkPanel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    checkPanel->setMargin(2);
    checkPanel->setWordWrap(true);
    checkPanel->setFont(UiFont(8, false));
    checkPanel->hide();
    // The check and the help text share one place: this link, at the right
    // of "Risultato", brings up the one hidden.
    checkToggle = new QLabel(this);
    const QRect caption = EditorKind::Photo().Label1;
    checkToggle->setGeometry(caption.right() - 130, caption.y(), 130, caption.height());
    checkToggle->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    checkToggle->setTextFormat(Qt::RichText);
    checkToggle->setFont(UiFont(9.5, false));
    checkToggle->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    checkToggle->setFocusPolicy(Qt::NoFocus);
    connect(checkToggle, &QLabel::linkActivated, this, [this] { ShowCheck(checkPanel->isHidden()); });
    checkToggle->hide();
    MsgL->raise();
    checkTimer_ = new QTimer(this);
    checkTimer_->setSingleShot(true);
    checkTimer_->setInterval(0);
    connect(checkTimer_, &QTimer::timeout, this, &AnalizzaFoto::RefreshCheck);
    // The operator asked for the framing: the check follows it from now on.
    connect(CentraP, &chameleonButton::Click, this, [this] {
        if (Busy)
            return;
        checking_ = true;
        RefreshCheck();
    });
}

QRect AnalizzaFoto::FindSubject()
{
    // The selection lives in the view, one pixel short of its far edges.
    const PortraitFraming::Proposal found =
        PortraitFraming::Propose(Pbi->picture(), QSize(ViewWidth - 1, ViewHeight - 1));
    faceSearched_ = true;
    framingNote.clear();
    if (found.status == FaceLandmarks::Status::NoModel)
        framingNote = QStringLiteral("viso non cercato, manca libdlib-data.");
    if (found.status != FaceLandmarks::Status::Found || found.selection.isEmpty()) {
        sourceFace_.reset();
        return {};
    }
    if (found.turned) {
        // A page scanned upside down is shown, and cropped, turned.
        Pbi->turnPicture();
        framingNote = QStringLiteral("pagina capovolta: girata di 180°. ");
    }
    sourceFace_ = found.face;
    if (found.limitedByLargest)
        framingNote += QStringLiteral("viso più grande della vista: ritaglio ridotto. ");
    else if (!found.ideal)
        framingNote += QStringLiteral("foto stretta: ritaglio preso dentro la foto. ");
    if (found.others > 0)
        framingNote += found.others == 1 ? QStringLiteral("c'è un altro viso; inquadrato il più grande.")
                                         : QStringLiteral("ci sono altri %1 visi; inquadrato il più grande.").arg(found.others);
    return found.selection;
}

const std::optional<FaceLandmarks::Face>& AnalizzaFoto::SourceFace()
{
    if (!faceSearched_) {
        faceSearched_ = true;
        const FaceLandmarks::Result found = FaceLandmarks::Find(Pbi->picture(), false);
        if (found.status == FaceLandmarks::Status::Found)
            sourceFace_ = found.face;
    }
    return sourceFace_;
}

void AnalizzaFoto::Committed()
{
    if (checking_)
        checkTimer_->start();
}

QString CheckPanelHtml(const PhotoCheck::Report& report, const QString& framingNote)
{
    QString rows;
    for (const PhotoCheck::Value& v : report.values) {
        const bool pass = v.pass();
        rows += QStringLiteral("<tr><td nowrap>%1</td><td align=right nowrap><b>%2</b></td><td align=right><font color=#555555>%3"
                               "</font></td><td align=right><b><font color=%4>%5</font></b></td></tr>")
                    .arg(PhotoCheck::NameOf(v.item).toHtmlEscaped(), PhotoCheck::ValueText(v).toHtmlEscaped(),
                         PhotoCheck::RangeText(v).toHtmlEscaped(), pass ? QStringLiteral("#107010") : QStringLiteral("#c00000"),
                         pass ? QStringLiteral("&#10004;") : QStringLiteral("&#10008;"));
    }
    // One line of notes fits over the table: what the framing did comes
    // first, else the check's own note; the panel's tooltip holds them all.
    QString note = framingNote.trimmed();
    if (note.isEmpty())
        note = PhotoCheck::Note(report);
    QString title = QStringLiteral("<b>Controllo foto</b> (solo indicativo)");
    if (!note.isEmpty())
        title = QStringLiteral("<b>Controllo foto:</b> <font color=#c00000>%1</font>").arg(note.toHtmlEscaped());
    return QStringLiteral("%1<table width=100% cellspacing=0 cellpadding=0>%2</table>").arg(title, rows);
}


void AnalizzaFoto::RefreshCheck()
{
    checkTimer_->stop();
    FIBITMAP* bitmap = OutputPipeline::MakePhoto(Imgd->picture());
    if (!bitmap)
        return;
    const QImage photo = MFreeImage::PictureFromLibraryBitmap(bitmap, true);
    // The face known in the picture, carried into the photo the crop makes:
    // the check then measures without searching for it again.
    const QRect crop(SelLeft + Sh->value(), SelTop + Sv->value(), SelWidth, SelHeight);
    const std::optional<FaceLandmarks::Face>& face = SourceFace();
    lastCheck = PhotoCheck::CheckCut(photo, face ? &*face : nullptr, crop);
    checkPanel->setText(CheckPanelHtml(lastCheck, framingNote));
    checkPanel->setToolTip((framingNote + PhotoCheck::Note(lastCheck)).trimmed());
    const bool first = checkToggle->isHidden();
    checkToggle->show();
    if (first)
        ShowCheck(true);
    MsgL->raise();
}

void AnalizzaFoto::ShowCheck(bool shown)
{
    checkPanel->setVisible(shown);
    if (shown)
        checkPanel->raise();
    UpdateToggle();
    MsgL->raise();
}

void AnalizzaFoto::UpdateToggle()
{
    checkToggle->setText(QStringLiteral("<a href=\"#\">%1</a>")
                             .arg(checkPanel->isHidden() ? QStringLiteral("Mostra il controllo")
                                                         : QStringLiteral("Mostra le istruzioni")));
}

void AnalizzaFoto::FinishLoad()
{
    // The page component is no widget: there is nothing on the window to
    // keep out of sight, and it never opens a dialog of its own.
    wb->Navigate(QUrl(QStringLiteral("about:blank")));
    Busy = false;
    faceSearched_ = false;
    sourceFace_.reset();
    framingNote.clear();
    checkPanel->hide();
    checkToggle->hide();
    checking_ = AutoFrameAtLoad() || Correcting();
    if (checking_)
        checkTimer_->start();
}

void AnalizzaFoto::SalvaP_Click()
{
    if (Busy || GiveBackCrop())
        return;
    if (OutputSave::SavePhoto(saveContext(), Imgd->picture(), ResultBitmap))
        accept();
}

bool AnalizzaFoto::WaitForBrowser(double seconds)
{
    QCoreApplication::processEvents();
    PauseWithEvents(browserWaits.settleMs);
    QCoreApplication::processEvents();
    // Elapsed time, not the time of day: a check that crosses midnight or a
    // change of the clock must not end the wait early or stretch it.
    const double deadline = double(Numbers::RoundHalfEven(seconds)) * browserWaits.msPerSecond;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (wb->ReadyState() == WebPage::Complete && !wb->Busy()) {
            QCoreApplication::processEvents();
            return true;
        }
        PauseWithEvents(browserWaits.pollMs);
        if (double(clock.elapsed()) > deadline) {
            QCoreApplication::processEvents();
            return false;
        }
    }
}

void AnalizzaFoto::TestP_Click()
{
    if (Busy)
        return;
    Busy = true;
    // Busy stays set until the operator has read the outcome, on every path.
    const auto done = qScopeGuard([this] {
        MsgL->hide();
        Busy = false;
    });
    MsgL->show();
    MsgL->raise();
    MsgL->repaint();

    const PortalCheck::Context context{
        *wb,
        PortalCheck::PortalBase(services().settings.read(PortalCheck::PortalSetting)),
        services().folders.workFolder,
        [this](double seconds) { return WaitForBrowser(seconds); },
    };
    const PortalCheck::Outcome outcome = PortalCheck::Run(context, Imgd->picture(), ResultBitmap);
    MsgL->hide();

    PortalCheck::Tell(services().dialogs, this, outcome);
}
