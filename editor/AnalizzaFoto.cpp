#include "AnalizzaFoto.h"

#include "FaceFinder.h"
#include "Fonts.h"
#include "ImageControl.h"
#include "MFreeImage.h"
#include "OutputPipeline.h"
#include "PictureView.h"
#include "PortraitGeometry.h"
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

    // Like a tooltip over the help text, whose words it keeps as its own
    // tooltip; the window has no other free room for it.
    checkPanel = new QLabel(this);
    checkPanel->setGeometry(EditorKind::Photo().help);
    checkPanel->setAutoFillBackground(true);
    checkPanel->setFrameShape(QFrame::Box);
    checkPanel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    checkPanel->setTextFormat(Qt::RichText);
    checkPanel->setMargin(3);
    checkPanel->setWordWrap(true);
    QPalette tip = checkPanel->palette();
    tip.setColor(QPalette::Window, QColor(255, 255, 225));
    tip.setColor(QPalette::WindowText, Qt::black);
    checkPanel->setPalette(tip);
    checkPanel->setFont(UiFont(9.5, false));
    checkPanel->setToolTip(EditorKind::Photo().helpText);
    checkPanel->hide();
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
    const FaceFinder::Result found = FaceFinder::Find(Pbi->picture());
    if (found.status != FaceFinder::Status::Found)
        return {};
    // The selection lives in the view, one pixel short of its far edges.
    return PortraitGeometry::PhotoSelection(PortraitGeometry::HeadOf(found.face), Pbi->picture().size(),
                                            QSize(ViewWidth - 1, ViewHeight - 1));
}

void AnalizzaFoto::Committed()
{
    if (checking_)
        checkTimer_->start();
}

namespace {

QString CheckHtml(const PhotoCheck::Report& report)
{
    QString rows;
    for (const PhotoCheck::Value& v : report.values) {
        const bool pass = v.pass();
        rows += QStringLiteral("<tr><td>%1</td><td align=right><b>%2</b></td><td align=right><font color=#555555>%3"
                               "</font></td><td align=right><b><font color=%4>%5</font></b></td></tr>")
                    .arg(PhotoCheck::NameOf(v.item).toHtmlEscaped(), PhotoCheck::ValueText(v).toHtmlEscaped(),
                         PhotoCheck::RangeText(v).toHtmlEscaped(), pass ? QStringLiteral("#107010") : QStringLiteral("#c00000"),
                         pass ? QStringLiteral("&#10004;") : QStringLiteral("&#10008;"));
    }
    QString title = QStringLiteral("<b>Controllo foto</b> (solo indicativo)");
    const QString note = PhotoCheck::Note(report);
    if (!note.isEmpty())
        title = QStringLiteral("<b>Controllo foto:</b> <font color=#c00000>%1</font>").arg(note.toHtmlEscaped());
    return QStringLiteral("%1<table width=100% cellspacing=0 cellpadding=0>%2</table>").arg(title, rows);
}

} // namespace

void AnalizzaFoto::RefreshCheck()
{
    checkTimer_->stop();
    FIBITMAP* photo = OutputPipeline::MakePhoto(Imgd->picture());
    if (!photo)
        return;
    lastCheck = PhotoCheck::Check(MFreeImage::PictureFromLibraryBitmap(photo, true));
    checkPanel->setText(CheckHtml(lastCheck));
    checkPanel->show();
    checkPanel->raise();
    MsgL->raise();
}

void AnalizzaFoto::FinishLoad()
{
    // The page component is no widget: there is nothing on the window to
    // keep out of sight, and it never opens a dialog of its own.
    wb->Navigate(QUrl(QStringLiteral("about:blank")));
    Busy = false;
    checking_ = AutoFrameAtLoad();
    if (checking_)
        checkTimer_->start();
}

void AnalizzaFoto::SalvaP_Click()
{
    if (Busy)
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

    OperatorDialogs& dialogs = services().dialogs;
    switch (outcome.kind) {
    case PortalCheck::Outcome::Kind::Verdict: {
        const PortalCheck::VerdictMessage message = PortalCheck::TreatVerdict(outcome.verdict);
        dialogs.showMessage(this, message.text, message.icon);
        break;
    }
    case PortalCheck::Outcome::Kind::CommunicationError:
        dialogs.showMessage(this, PortalCheck::CommunicationErrorMessage, MessageIcon::Critical);
        break;
    case PortalCheck::Outcome::Kind::PhotoNotWritten:
        dialogs.showMessage(this, OutputSave::WriteFailedMessage(outcome.photoFile), MessageIcon::Critical);
        break;
    }
}
