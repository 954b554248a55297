#include "AnalizzaFoto.h"

#include "ImageControl.h"
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
}

void AnalizzaFoto::FinishLoad()
{
    // The page component is no widget: there is nothing on the window to
    // keep out of sight, and it never opens a dialog of its own.
    wb->Navigate(QUrl(QStringLiteral("about:blank")));
    Busy = false;
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
