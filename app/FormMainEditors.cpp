// The photo and signature buttons of the main window: each opens its editor
// on the source picture, steps the main window aside meanwhile, and shows
// what was saved as a thumbnail. A source file gone or replaced since it
// was taken in is noticed before an editor opens.

#include "FormMain.h"

#include "AnalizzaFirma.h"
#include "AnalizzaFoto.h"
#include "ImageControl.h"
#include "MFreeImage.h"
#include "OnePassWindow.h"
#include "OperatorDialogs.h"
#include "OutputSave.h"
#include "chameleonButton.h"

#include <QFile>
#include <QFileInfo>

void FormMain::FotoP_Click()
{
    AnalizzaFoto editor(services_, this);
    OpenEditor(editor, *FotoI);
}

void FormMain::FirmaP_Click()
{
    AnalizzaFirma editor(services_, this);
    OpenEditor(editor, *FirmaI);
}

bool FormMain::SourceStillValid()
{
    const QFileInfo now(SourceFile);
    QFile file(SourceFile);
    if (!now.isFile() || !file.open(QIODevice::ReadOnly)) {
        services_.dialogs.showMessage(
            this,
            QStringLiteral("Il file dell'immagine non esiste più o non si può leggere:\r\n%1\r\n"
                           "Acquisire di nuovo l'immagine.")
                .arg(SourceFile),
            MessageIcon::Critical);
        return false;
    }
    if (now.size() == sourceSize_ && now.lastModified() == sourceModified_)
        return true;
    // Another picture under the same name: the operator must see it before
    // framing it, or the wrong applicant's face could be saved.
    if (!AcceptSource(SourceFile))
        return false;
    services_.dialogs.showMessage(
        this,
        QStringLiteral("Il file dell'immagine è cambiato dopo l'acquisizione:\r\n%1\r\n"
                       "Ora è mostrata la nuova immagine: controllare che sia quella giusta.")
            .arg(SourceFile),
        MessageIcon::Warning);
    return true;
}

void FormMain::OpenEditor(FramingEditor& editor, ImageControl& thumbnail)
{
    if (!SourceStillValid())
        return;
    // The editor steps this window aside and puts it back itself: a second
    // move here, made before the window manager has framed the window again,
    // would leave it a border's width off.
    ShowMessagePanel(QStringLiteral("Attendi..."));
    EnableCommands(false);

    FIBITMAP* result = editor.Go(SourceFile, this);

    if (result) {
        thumbnail.setPicture(MFreeImage::PictureFromLibraryBitmap(result, false));
        thumbnail.show();
        FreeImage_Unload(result);
    }
    MsgL->hide();
    EnableCommands(true);
}

void FormMain::OnePassP_Click()
{
    if (!SourceStillValid())
        return;
    ShowMessagePanel(QStringLiteral("Attendi..."));
    EnableCommands(false);
    FIBITMAP* photo = nullptr;
    FIBITMAP* signature = nullptr;
    {
        OnePassWindow window(services_, this);
        window.Go(SourceFile, this, photo, signature,
                  proposalAhead_.Take(SourceFile, OutputSave::BlackAndWhiteThreshold(services_.settings)));
    }
    // Both files were written: the thumbnails are those two saves would leave.
    for (auto [bitmap, thumbnail] : {std::pair{photo, FotoI}, std::pair{signature, FirmaI}}) {
        if (!bitmap)
            continue;
        thumbnail->setPicture(MFreeImage::PictureFromLibraryBitmap(bitmap, false));
        thumbnail->show();
        FreeImage_Unload(bitmap);
    }
    MsgL->hide();
    EnableCommands(true);
}
