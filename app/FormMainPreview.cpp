// The licence-card preview of the main window: the card picture almost over
// the whole window, with the produced photo and signature laid on it at
// their places, grey and with their white see-through. It works only on the
// thumbnails; nothing is written.

#include "FormMain.h"

#include "CardOverlay.h"
#include "FrameShape.h"
#include "ImageControl.h"
#include "chameleonButton.h"

#include <QLabel>

namespace {

// The card's place in the window, and the places of the photo and the
// signature relative to the card's top-left corner.
constexpr QRect CardBox(94, 74, 839, 540);
constexpr QRect PhotoOnCard(56, 164, 162, 196);
constexpr QRect SignatureOnCard(297, 296, 237, 47);

const QString CardPicture = QStringLiteral(":/card/card.jpg");
const QString PlaceholderPicture = QStringLiteral(":/card/placeholder.jpg");

QRect OnCard(const ImageControl& card, const QRect& place)
{
    return place.translated(card.pos());
}

} // namespace

void FormMain::LoadCardPictures()
{
    AnteprimaI->setPicture(QImage(CardPicture));
    Neutro->setPicture(QImage(PlaceholderPicture));
}

void FormMain::AnteprimaP_Click()
{
    SavedImgVisible = Img->isShownFlag();
    SavedFotoIVisible = FotoI->isShownFlag();
    SavedFirmaIVisible = FirmaI->isShownFlag();

    AnteprimaI->setGeometry(CardBox);
    AnteprimaI->show();

    if (SavedFotoIVisible)
        FotoA->setPicture(MakeCardOverlay(FotoI->picture(), PhotoOverlayThreshold));
    else
        FotoA->setPicture(Neutro->picture()); // shown as it is, not made see-through
    FotoA->setGeometry(OnCard(*AnteprimaI, PhotoOnCard));
    FotoA->show();

    if (SavedFirmaIVisible) {
        FirmaA->setPicture(MakeCardOverlay(FirmaI->picture(), SignatureOverlayThreshold));
        FirmaA->setGeometry(OnCard(*AnteprimaI, SignatureOnCard));
        FirmaA->show();
    }

    // Every command goes; the focus must not stay on one of them, hidden
    // but still taking keys (Space on Esci would end the program). The
    // window itself holds it meanwhile and does nothing with keys.
    setFocus(Qt::OtherFocusReason);

    // Label1 (1), Label1 (2), FotoI and FotoS stay: the card covers them.
    Label1[0]->hide();
    for (chameleonButton* button : ScannerP)
        button->hide();
    for (chameleonButton* button : {AnteprimaP, FotoP, FirmaP, OnePassP, CfgP, EsciP})
        button->hide();
    Img->hide();
    ImgS->hide();
    FirmaI->hide();
    FirmaS->hide();
}

void FormMain::Background_Click()
{
    // Leaving the card preview; without a preview there is nothing to leave.
    if (AnteprimaI->isHidden())
        return;

    Label1[0]->show();
    for (chameleonButton* button : ScannerP)
        button->show();
    for (chameleonButton* button : {AnteprimaP, FotoP, FirmaP, OnePassP, CfgP, EsciP})
        button->show();

    FotoA->hide();
    FirmaA->hide();
    AnteprimaI->hide();

    Img->setVisible(SavedImgVisible);
    ImgS->show();
    FirmaI->setVisible(SavedFirmaIVisible);
    FirmaS->show();
    // Back on the command that opened the preview: Space opens it again.
    AnteprimaP->setFocus(Qt::OtherFocusReason);
}
