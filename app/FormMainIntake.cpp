// The main window's ways of taking in a source picture: an image file
// (chosen, named on the command line or dropped), a scanned page or a
// webcam still. Every way ends alike: SourceFile names the picture, it is
// shown fitted into Img and the editors become available.

#include "FormMain.h"

#include "DesktopOpen.h"
#include "FormWebCam.h"
#include "ImageControl.h"
#include "Libreria.h"
#include "Numbers.h"
#include "OperatorDialogs.h"
#include "OutputSave.h"
#include "PathText.h"
#include "ScannerLayer.h"
#include "SettingsStore.h"
#include "SourcePicture.h"
#include "chameleonButton.h"

#include <QApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>

namespace {

const QString IntakeFilter = QStringLiteral(
    "File immagine JPG|*.JPG|File immagine BMP|*.BMP|File immagine GIF|*.GIF|Tutti i file|*.*");

// Decoding a whole scanned page takes a moment.
SourcePicture::Loaded LoadShowingWait(const QString& path)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SourcePicture::Loaded loaded = SourcePicture::Load(path);
    QApplication::restoreOverrideCursor();
    return loaded;
}

} // namespace

void FormMain::ScannerP_Click(int index)
{
    MakeFolderCurrent(services_.folders.programFolder);
    switch (index) {
    case 1:
        FileIntake();
        break;
    case 2:
        WebCamIntake();
        break;
    default:
        ScannerIntake();
        break;
    }
}

void FormMain::ShowMessagePanel(const QString& text)
{
    MsgL->setCaption(text);
    MsgL->show();
    MsgL->repaint();
}

void FormMain::FileIntake()
{
    ShowMessagePanel(QStringLiteral("Seleziona il file"));
    EnableCommands(false);

    const QString stored = services_.settings.read(QStringLiteral("InitDirFile"), QStringLiteral("C:\\\\"));
    const std::optional<QString> chosen
        = services_.dialogs.openFile(this, {FolderOfStoredPath(stored), IntakeFilter, QString()});
    MakeFolderCurrent(services_.folders.programFolder);
    if (!chosen || chosen->isEmpty()) {
        EnableCommands(true);
        MsgL->hide();
        return;
    }

    TakeInChosenFile(*chosen);
}

void FormMain::TakeInChosenFile(const QString& path)
{
    const FREE_IMAGE_FORMAT type = SourcePicture::FileType(path);
    if (type == FIF_UNKNOWN || type == FIF_PNG) {
        RefuseIntake(SourcePicture::MessageFor(SourcePicture::Problem::UnknownType));
        return;
    }
    if (AcceptSource(path))
        services_.settings.write(QStringLiteral("InitDirFile"), path);
}

void FormMain::OpenFile(const QString& path)
{
    MakeFolderCurrent(services_.folders.programFolder);
    EnableCommands(false);
    TakeInChosenFile(path);
}

bool FormMain::TakesDrops() const
{
    // Not during the card preview, where the File button is hidden, nor
    // while an intake has the commands disabled.
    return !ScannerP[1]->isHidden() && ScannerP[1]->Enabled();
}

void FormMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (TakesDrops() && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void FormMain::dropEvent(QDropEvent* event)
{
    if (!TakesDrops())
        return;
    const DesktopOpen::Dropped dropped = DesktopOpen::FileFromDrop(event->mimeData()->urls());
    if (dropped.file.isEmpty() && dropped.refusal.isEmpty())
        return;
    event->acceptProposedAction();
    // The file manager waits until the drop returns: the intake and its
    // messages come after that.
    QMetaObject::invokeMethod(
        this,
        [this, dropped] {
            if (!dropped.refusal.isEmpty())
                services_.dialogs.showMessage(this, dropped.refusal, MessageIcon::Warning);
            else
                OpenFile(dropped.file);
        },
        Qt::QueuedConnection);
}

void FormMain::ScannerIntake()
{
    ShowMessagePanel(QStringLiteral("Attendi..."));
    EnableCommands(false);
    const QString workFile = services_.folders.WorkFile(QStringLiteral("FILE.BMP"));
    if (services_.scanner.TWAIN_AcquireToFilename(this, workFile) != 0) {
        MsgL->hide();
        EnableCommands(true);
        services_.dialogs.showMessage(this, QStringLiteral("Immagine non acquisita"), MessageIcon::Warning);
        return;
    }
    AcceptSource(workFile);
}

void FormMain::WebCamIntake()
{
    EnableCommands(false);
    // The webcam window replaces FILE.BMP only when the operator takes a
    // still: closed without one, the current source and its file stay.
    bool taken = false;
    {
        FormWebCam window(services_, this);
        taken = window.Run();
    }
    if (!taken) {
        EnableCommands(true);
        services_.dialogs.showMessage(this, QStringLiteral("Immagine non acquisita"), MessageIcon::Warning);
        return;
    }
    const QString workFile = services_.folders.WorkFile(QStringLiteral("FILE.BMP"));
    AcceptSource(workFile);
}

bool FormMain::AcceptSource(const QString& path)
{
    // Decoded before anything changes: a picture that cannot be shown
    // leaves the last good source in place. The file's stamp is taken
    // first, so that a change while decoding is noticed later.
    const QFileInfo stamp(path);
    const SourcePicture::Loaded loaded = LoadShowingWait(path);
    if (loaded.problem != SourcePicture::Problem::None) {
        RefuseIntake(SourcePicture::MessageFor(loaded.problem));
        return false;
    }
    SourceFile = path;
    sourceSize_ = stamp.size();
    sourceModified_ = stamp.lastModified();
    ShowSource(loaded.picture);
    // With the automatic framing on, the one-pass proposal is made while
    // the operator looks at the form: once the program has stood idle a
    // moment, so that a command given at once does not share the cores.
    proposalAhead_.Drop();
    aheadPage_ = QImage();
    if (Numbers::LenientNumber(services_.settings.read(QStringLiteral("AutoInquadra"), QStringLiteral("1"))) != 0) {
        aheadPage_ = loaded.picture;
        aheadTimer_->start();
    }
    return true;
}

void FormMain::RefuseIntake(const QString& message)
{
    MsgL->hide();
    services_.dialogs.showMessage(this, message, MessageIcon::Critical);
    EnableCommands(true);
}

void FormMain::ShowSource(const QImage& picture)
{
    MsgL->hide();
    qint16 cx = -1, cy = 0, w = 0, h = 0;
    Libreria::LoadPictureInBox(picture, *Img, cx, cy, w, h, true);
    // Thumbnails of outputs made from an earlier source no longer apply.
    FotoI->hide();
    FirmaI->hide();
    EnableCommands(true);
    FotoP->setEnabled(true);
    FirmaP->setEnabled(true);
    OnePassP->setEnabled(true);
}
