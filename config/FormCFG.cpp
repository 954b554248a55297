#include "FormCFG.h"

#include "FormCFGcam.h"
#include "Fonts.h"
#include "Numbers.h"
#include "RitraxVersion.h"
#include "ScannerLayer.h"
#include "SettingsStore.h"
#include "LayoutButtons.h"
#include "WindowFace.h"
#include "chameleonButton.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QUrl>

namespace {

QLabel* MakeLabel(QWidget* parent, const QRect& box, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(box);
    label->setFont(UiFont(12, true));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

} // namespace

FormCFG::FormCFG(const Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
    , services_(services)
{
    setFixedSize(ClientWidth, ClientHeight);
    setWindowTitle(QStringLiteral("Ritrax - configurazione"));
    setModal(true);
    setAutoFillBackground(true);
    QPalette face = palette();
    face.setColor(QPalette::Window, WindowFaceColor());
    face.setColor(QPalette::WindowText, Qt::black);
    setPalette(face);

    CreateControls();
    Form_Load();
}

QString FormCFG::SupportAddress()
{
    return QStringLiteral(RITRAX_SUPPORT_EMAIL);
}

QString FormCFG::MailLink(const QString& address, int major, int minor)
{
    return QStringLiteral("mailto:") + address
        + QStringLiteral("?subject=Richiesta servizio tecnico programma Ritrax versione ") + QString::number(major)
        + u'.' + QString::number(minor);
}

void FormCFG::CreateControls()
{
    F200 = new QCheckBox(QStringLiteral("Firma a 200 DPI"), this);
    F200->setGeometry(16, 16, 408, 25);
    F200->setFont(UiFont(12, true));
    AutoInquadra = new QCheckBox(QStringLiteral("Inquadratura automatica"), this);
    AutoInquadra->setGeometry(16, 48, 408, 25);
    AutoInquadra->setFont(UiFont(12, true));
    AutoInquadra->setToolTip(QStringLiteral("All'apertura gli editor inquadrano da soli il viso e la firma"));

    const LayoutButtons buttons(this, QStringLiteral(":/layouts/FormCFG.layout"));
    ScannerP = buttons.button(u"ScannerP");
    WebCamP = buttons.button(u"WebCamP");

    Frame1 = new QFrame(this);
    Frame1->setGeometry(16, 144, 408, 72);
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setFrameShadow(QFrame::Sunken);
    Label1 = MakeLabel(Frame1, QRect(12, 8, 384, 25), QStringLiteral("Servizio di assistenza tecnica:"));
    email = MakeLabel(Frame1, QRect(12, 38, 384, 25), SupportAddress());
    QPalette link = email->palette();
    link.setColor(QPalette::WindowText, QColor(0, 0, 255));
    email->setPalette(link);
    QFont underlined = email->font();
    underlined.setUnderline(true);
    email->setFont(underlined);
    // Only the text is the link, not the empty rest of its line.
    email->adjustSize();
    email->setCursor(Qt::PointingHandCursor);
    email->setToolTip(MailLink(SupportAddress(), RitraxVersion::Major, RitraxVersion::Minor));
    email->installEventFilter(this);

    OkP = buttons.button(u"OkP");
    EsciP = buttons.button(u"EsciP");
    OkP->setToolTip(QStringLiteral("Salva e chiudi"));
    EsciP->setToolTip(QStringLiteral("Chiudi senza salvare"));

    QWidget::setTabOrder(F200, AutoInquadra);
    QWidget::setTabOrder(AutoInquadra, ScannerP);
    QWidget::setTabOrder(ScannerP, WebCamP);
    QWidget::setTabOrder(WebCamP, OkP);
    QWidget::setTabOrder(OkP, EsciP);

    connect(OkP, &chameleonButton::Click, this, &FormCFG::OkP_Click);
    connect(EsciP, &chameleonButton::Click, this, &FormCFG::EsciP_Click);
    connect(ScannerP, &chameleonButton::Click, this, &FormCFG::ScannerP_Click);
    connect(WebCamP, &chameleonButton::Click, this, &FormCFG::WebCamP_Click);
}

void FormCFG::Form_Load()
{
    // Any value but 0 means the option is on, as the signature save reads it.
    const int stored = Numbers::LenientInteger(services_.settings.read(QStringLiteral("F200"), QStringLiteral("0")));
    F200->setChecked(stored != 0);
    const double automatic = Numbers::LenientNumber(services_.settings.read(QStringLiteral("AutoInquadra"), QStringLiteral("1")));
    AutoInquadra->setChecked(automatic != 0);
}

void FormCFG::OkP_Click()
{
    services_.settings.write(QStringLiteral("F200"), F200->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    services_.settings.write(QStringLiteral("AutoInquadra"),
                             AutoInquadra->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    accept();
}

void FormCFG::EsciP_Click()
{
    reject();
}

void FormCFG::ScannerP_Click()
{
    services_.scanner.TWAIN_SelectImageSource(this);
}

void FormCFG::WebCamP_Click()
{
    FormCFGcam dialog(services_, this);
    dialog.exec();
}

void FormCFG::email_Click()
{
    const QString link = MailLink(SupportAddress(), RitraxVersion::Major, RitraxVersion::Minor);
    // Nothing to report when no mail program takes the link.
    QDesktopServices::openUrl(QUrl(link, QUrl::TolerantMode));
}

bool FormCFG::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == email && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && email->rect().contains(mouse->position().toPoint())) {
            email_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
