// The photo and signature buttons of the main window: each opens its editor
// on the source picture, steps the main window aside meanwhile, and shows
// what was saved as a thumbnail.

#include "FormMain.h"

#include "AnalizzaFirma.h"
#include "AnalizzaFoto.h"
#include "ImageControl.h"
#include "MFreeImage.h"
#include "chameleonButton.h"

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

void FormMain::OpenEditor(FramingEditor& editor, ImageControl& thumbnail)
{
    // The editor moves this window beyond the screen; its place is kept here.
    Tag = QString::number(pos().x());
    ShowMessagePanel(QStringLiteral("Attendi..."));
    EnableCommands(false);

    FIBITMAP* result = editor.Go(SourceFile, this);

    move(Tag.toInt(), pos().y());
    if (result) {
        thumbnail.setPicture(MFreeImage::PictureFromLibraryBitmap(result, false));
        thumbnail.show();
        FreeImage_Unload(result);
    }
    MsgL->hide();
    EnableCommands(true);
}
