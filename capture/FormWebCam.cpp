#include "FormWebCam.h"

#include "CameraBackend.h"
#include "CaptureWindow.h"
#include "ImageControl.h"
#include "OperatorDialogs.h"
#include "SettingsStore.h"
#include "LayoutButtons.h"
#include "WindowFace.h"
#include "chameleonButton.h"
#include "modBitBlt.h"
#include "modWebCam.h"

#include <QListWidget>
#include <QShowEvent>
#include <QTimer>

FormWebCam::FormWebCam(const Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
    , services_(services)
{
    setFixedSize(ClientWidth, ClientHeight);
    setWindowTitle(QStringLiteral("Ritrax - WebCam"));
    setModal(true);
    UseWindowFace(*this);

    CreateControls();
    Form_Load();
}

FormWebCam::~FormWebCam()
{
    Form_Unload();
}

void FormWebCam::CreateControls()
{
    Picture1 = new QWidget(this);
    Picture1->setGeometry(8, 8, StillWidth, StillHeight);
    Picture1->setAutoFillBackground(true);
    QPalette black = Picture1->palette();
    black.setColor(QPalette::Window, Qt::black);
    Picture1->setPalette(black);
    Picture1->setFocusPolicy(Qt::TabFocus);

    List1 = new QListWidget(this);
    List1->hide();
    Image1 = new ImageControl(this);
    Image1->hide();

    const LayoutButtons buttons(this, QStringLiteral(":/layouts/FormWebCam.layout"));
    CfgP = buttons.button(u"CfgP");
    OkP = buttons.button(u"OkP");
    EsciP = buttons.button(u"EsciP");
    CfgP->setToolTip(QStringLiteral("Formato video"));
    OkP->setToolTip(QStringLiteral("Acquisisci l'immagine"));
    EsciP->setToolTip(QStringLiteral("Esci senza acquisire"));

    QWidget::setTabOrder(OkP, EsciP);
    QWidget::setTabOrder(EsciP, Picture1);
    QWidget::setTabOrder(Picture1, List1);
    QWidget::setTabOrder(List1, CfgP);
    OkP->setFocus();

    connect(CfgP, &chameleonButton::Click, this, &FormWebCam::CfgP_Click);
    connect(OkP, &chameleonButton::Click, this, &FormWebCam::OkP_Click);
    connect(EsciP, &chameleonButton::Click, this, &FormWebCam::EsciP_Click);
}

QWidget* FormWebCam::messageParent()
{
    return isVisible() || !parentWidget() ? this : parentWidget();
}

void FormWebCam::Form_Load()
{
    NoCam = false;
    modWebCam::ListCaptureDrivers(services_.camera, *List1);
    if (List1->count() == 0) {
        services_.dialogs.showMessage(
            messageParent(),
            QStringLiteral("Sembra non esserci alcuna WebCam installata.\r\nControllare la configurazione"),
            MessageIcon::Information);
        NoCam = true;
        return;
    }

    QString name = services_.settings.read(QStringLiteral("WebCam"));
    if (name.isEmpty())
        name = List1->item(0)->text();
    QStringList names;
    for (int row = 0; row < List1->count(); ++row)
        names << List1->item(row)->text();
    const int index = std::max(0, modWebCam::FindDriver(names, name));

    setWindowTitle(names.at(index));
    modWebCam::StartPreview(services_.camera, services_.dialogs, index, *Picture1, messageParent());
}

bool FormWebCam::Run()
{
    if (!NoCam)
        exec();
    Form_Unload();
    return stillTaken_;
}

bool FormWebCam::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QDialog::event(event);
}

void FormWebCam::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Without an input the window goes at once, whether or not the window
    // system reports its activation.
    if (NoCam)
        QTimer::singleShot(0, this, &FormWebCam::Form_Activate);
}

void FormWebCam::Form_Activate()
{
    if (NoCam && isVisible())
        reject();
}

void FormWebCam::CfgP_Click()
{
    modWebCam::ShowFormatDialog(services_.camera, services_.dialogs, this);
}

void FormWebCam::OkP_Click()
{
    // A still only ever comes from a connected, running preview: after a
    // failed start (or a webcam lost since) the window closes with nothing.
    CaptureWindow* window = modWebCam::hHwnd;
    if (!window || window->parentWidget() != Picture1 || !services_.camera.isRunning()) {
        reject();
        return;
    }
    if (!window->hasFrame()) {
        services_.dialogs.showMessage(
            this, QStringLiteral("La WebCam non ha ancora inviato alcuna immagine.\r\nRiprovare tra qualche istante."),
            MessageIcon::Information);
        return;
    }

    Image1->setPicture(modBitBlt::CopyDcToPicture(*window, 0, 0, StillWidth, StillHeight));
    const QString workFile = services_.folders.WorkFile(QStringLiteral("FILE.BMP"));
    if (!modBitBlt::SaveBitmapFile(Image1->picture(), workFile)) {
        services_.dialogs.showMessage(this, QStringLiteral("Impossibile salvare l'immagine acquisita:\r\n") + workFile,
                                      MessageIcon::Critical);
        return;
    }
    stillTaken_ = true;
    accept();
}

void FormWebCam::EsciP_Click()
{
    reject();
}

void FormWebCam::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}

void FormWebCam::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    if (!NoCam)
        modWebCam::StopPreview(services_.camera);
}
