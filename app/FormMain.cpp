#include "FormMain.h"

#include "FormCFG.h"
#include "Fonts.h"
#include "FrameShape.h"
#include "ImageControl.h"
#include "LayoutButtons.h"
#include "Libreria.h"
#include "OperatorDialogs.h"
#include "OutputSave.h"
#include "RitraxVersion.h"
#include "chameleonButton.h"

#include <FreeImage.h>

#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include <utility>

namespace {

const QString DesignTitle = QStringLiteral("Ritrax");
// How long the program stands idle after an intake before it makes the
// one-pass proposal.
constexpr int AheadDelayMs = 400;

QLabel* MakeLabel(QWidget* parent, int left, int top, int width, int height, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(left, top, width, height);
    label->setFont(UiFont(12, true));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setStyleSheet(QStringLiteral("color: black; background: transparent;"));
    // A click on a label is the label's, not the window background's.
    label->setAttribute(Qt::WA_NoMousePropagation);
    return label;
}

FrameShape* MakeFrame(QWidget* parent, int left, int top, int width, int height)
{
    auto* frame = new FrameShape(parent);
    frame->setGeometry(left, top, width, height);
    return frame;
}

ImageControl* MakeImage(QWidget* parent, int left, int top, int width, int height, bool stretch)
{
    auto* image = new ImageControl(parent);
    image->setGeometry(left, top, width, height);
    image->setStretch(stretch);
    image->hide();
    return image;
}

} // namespace

FormMain::FormMain(const Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint)
    , services_(services)
{
    setFixedSize(ClientWidth, ClientHeight);
    setWindowTitle(DesignTitle);
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);
    setAcceptDrops(true);

    CreateControls();
    aheadTimer_ = new QTimer(this);
    aheadTimer_->setSingleShot(true);
    aheadTimer_->setInterval(AheadDelayMs);
    connect(aheadTimer_, &QTimer::timeout, this, [this] {
        proposalAhead_.Start(std::exchange(aheadPage_, QImage()), SourceFile,
                             OutputSave::BlackAndWhiteThreshold(services_.settings));
    });
    SetTabOrder();
    ConnectHandlers();
    LoadCardPictures();
    Form_Load();
}

FormMain::~FormMain()
{
    Form_Unload();
}

QString FormMain::TitleFor(const QString& designTitle, int major, int minor, int revision)
{
    return designTitle + QStringLiteral(" versione ") + QString::number(major) + u'.'
        + QString::number(minor) + u'.' + QString::number(revision);
}

void FormMain::CreateControls()
{
    // Creation order is drawing order: frames and labels at the bottom, then
    // the pictures, the card and its overlays, and the buttons on top.
    ImgS = MakeFrame(this, 0, 0, 0, 0);
    FotoS = MakeFrame(this, 760, 96, 173, 209);
    FirmaS = MakeFrame(this, 680, 408, 328, 69);

    Label1[0] = MakeLabel(this, 8, 8, 559, 25,
                          QStringLiteral("1) Usare lo Scanner (a 300 DPI), la WebCam, oppure selezionare il file"));
    Img = MakeImage(this, 8, 80, 433, 585, false);
    FirmaI = MakeImage(this, 682, 410, 324, 65, true);
    FotoI = MakeImage(this, 762, 98, 169, 205, true);
    Label1[1] = MakeLabel(this, 464, 72, 439, 25, QStringLiteral("2) Selezionare la foto"));
    Label1[2] = MakeLabel(this, 464, 344, 439, 25, QStringLiteral("3) Selezionare la firma"));
    Neutro = MakeImage(this, 840, 480, 81, 57, true);
    AnteprimaI = MakeImage(this, 752, 544, 81, 57, true);
    FotoA = MakeImage(this, 840, 544, 81, 57, true);
    FirmaA = MakeImage(this, 928, 544, 76, 57, true);

    // The buttons come from the window's stored layout, in its order.
    const LayoutButtons buttons(this, QStringLiteral(":/layouts/FormMain.layout"));
    ScannerP[0] = buttons.button(u"ScannerP(0)");
    ScannerP[2] = buttons.button(u"ScannerP(2)");
    ScannerP[1] = buttons.button(u"ScannerP(1)");
    AnteprimaP = buttons.button(u"AnteprimaP");
    OnePassP = buttons.button(u"OnePassP");
    FotoP = buttons.button(u"FotoP");
    FirmaP = buttons.button(u"FirmaP");
    CfgP = buttons.button(u"CfgP");
    EsciP = buttons.button(u"EsciP");
    MsgL = buttons.button(u"MsgL");
    MsgL->setFocusPolicy(Qt::NoFocus); // a message panel, not a command
    MsgL->hide();
}

void FormMain::SetTabOrder()
{
    const std::array<QWidget*, 10> order{ScannerP[0], ScannerP[2], ScannerP[1], FotoP, FirmaP,
                                         CfgP, EsciP, AnteprimaP, OnePassP, MsgL};
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void FormMain::ConnectHandlers()
{
    for (int index = 0; index < 3; ++index)
        connect(ScannerP[index], &chameleonButton::Click, this, [this, index] { ScannerP_Click(index); });
    connect(FotoP, &chameleonButton::Click, this, &FormMain::FotoP_Click);
    connect(FirmaP, &chameleonButton::Click, this, &FormMain::FirmaP_Click);
    connect(OnePassP, &chameleonButton::Click, this, &FormMain::OnePassP_Click);
    connect(CfgP, &chameleonButton::Click, this, &FormMain::CfgP_Click);
    connect(AnteprimaP, &chameleonButton::Click, this, &FormMain::AnteprimaP_Click);
    connect(EsciP, &chameleonButton::Click, this, &FormMain::EsciP_Click);
    for (ImageControl* card : {AnteprimaI, FotoA, FirmaA})
        connect(card, &ImageControl::clicked, this, &FormMain::Background_Click);
}

void FormMain::Form_Load()
{
    FaiAct = true;
    const QString title = TitleFor(DesignTitle, RitraxVersion::Major, RitraxVersion::Minor,
                                   RitraxVersion::Revision);
    setWindowTitle(title);
    Tag = title;

    FotoP->setCaption(QStringLiteral("\rFo&to"));
    FirmaP->setCaption(QStringLiteral("\rFir&ma"));

    if (!MakeFolderCurrent(services_.folders.programFolder)) {
        // Without it formati.txt is not found; everything else still works.
        services_.dialogs.showMessage(
            this,
            QStringLiteral("Impossibile impostare come cartella corrente la cartella del programma:\r\n")
                + services_.folders.programFolder,
            MessageIcon::Critical);
    }

    FreeImage_Initialise(FALSE);

    Libreria::StoreBoxInTag(*Img);
    ImgS->setGeometry(Img->x() - 2, Img->y() - 2, Img->width() + 4, Img->height() + 4);
}

void FormMain::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    FreeImage_DeInitialise();
}

void FormMain::Form_Activate()
{
    if (!FaiAct)
        return;
    setWindowTitle(Tag);
    FaiAct = false;
}

void FormMain::EnableCommands(bool enable)
{
    if (!enable) {
        SavedEditEnabled = FotoP->Enabled();
        // A command has begun: it keeps the cores to itself.
        aheadTimer_->stop();
        aheadPage_ = QImage();
    }
    FotoP->setEnabled(enable && SavedEditEnabled);
    FirmaP->setEnabled(enable && SavedEditEnabled);
    OnePassP->setEnabled(enable && SavedEditEnabled);
    for (chameleonButton* button : ScannerP)
        button->setEnabled(enable);
    EsciP->setEnabled(enable);
    CfgP->setEnabled(enable);
    repaint(); // visible before a long operation starts
}

void FormMain::CfgP_Click()
{
    EnableCommands(false);
    {
        FormCFG dialog(services_, this);
        dialog.exec();
    }
    EnableCommands(true);
}

void FormMain::EsciP_Click()
{
    close();
}

bool FormMain::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}

void FormMain::showEvent(QShowEvent* event)
{
    if (!centred_) {
        centred_ = true;
        if (const QScreen* s = screen()) {
            // move() places the frame; centre the frame as far as it is known.
            const QRect area = s->availableGeometry();
            const QSize outer = frameGeometry().size();
            move(area.x() + (area.width() - outer.width()) / 2,
                 area.y() + (area.height() - outer.height()) / 2);
        }
    }
    QWidget::showEvent(event);
}

void FormMain::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        Form_Unload();
}

void FormMain::mousePressEvent(QMouseEvent* event)
{
    backgroundPressed_ = event->button() == Qt::LeftButton;
    QWidget::mousePressEvent(event);
}

void FormMain::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = backgroundPressed_ && event->button() == Qt::LeftButton
        && rect().contains(event->position().toPoint());
    backgroundPressed_ = false;
    QWidget::mouseReleaseEvent(event);
    if (click)
        Background_Click();
}
