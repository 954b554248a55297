#pragma once
// One applicant in one pass: the photo and the signature the automatic
// framing proposes for a form, shown exactly as they will be written, with
// the photo's check, the applicant's name and the two files; saved together
// with one Enter, or corrected first in the editors.

#include "ApplicantProposal.h"
#include "OutputSave.h"
#include "ProposalAhead.h"
#include "Services.h"

#include <FreeImage.h>

#include <QDialog>
#include <QImage>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class FrameShape;
class ImageControl;
class LayoutButtons;
class WebPage;
class chameleonButton;

class OnePassWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 1018;
    static constexpr int ClientHeight = 676;

    explicit OnePassWindow(const Services& services, QWidget* parent = nullptr);
    ~OnePassWindow() override;

    // Loads the form, proposes both crops and shows the window modally,
    // with the caller stepped aside. True when both files were written:
    // photoResult and signatureResult then hold the photo and the signature
    // canvas for the thumbnails (the caller owns them). A picture that
    // cannot be loaded is reported and gives false at once. ahead, when
    // given, is the form's page and proposal made beforehand.
    bool Go(const QString& sourcePath, QWidget* caller, FIBITMAP*& photoResult, FIBITMAP*& signatureResult,
            std::optional<ProposalAhead::Ready> ahead = std::nullopt);

    // Loads the form and proposes its crops (or takes those made ahead)
    // without showing the window; false (operator told) when the picture
    // cannot be loaded.
    bool Load(const QString& sourcePath, std::optional<ProposalAhead::Ready> ahead = std::nullopt);

    // A name the files cannot take, as the operator is told; empty when it
    // is fine.
    static QString NameProblem(const QString& name);

    // The handlers.
    void SalvaP_Click();
    void FotoP_Click();
    void FirmaP_Click();
    void TestP_Click();
    void EsciP_Click();
    void ChooseFolder(bool photo);

    // The files the window would write now.
    OutputSave::ApplicantFiles Files() const;

    // What the window shows and writes.
    QRect photoCrop;     // in the photo's page (turned when the face was found so)
    QRect signatureCrop; // in the page as loaded
    QString photoFolder;
    QString signatureFolder;
    PhotoCheck::Report lastCheck;

    // Controls.
    FrameShape* photoFrame = nullptr;
    ImageControl* photo = nullptr;
    QLabel* checkPanel = nullptr;
    FrameShape* signatureFrame = nullptr;
    ImageControl* signature = nullptr;
    FrameShape* blackAndWhiteFrame = nullptr;
    ImageControl* blackAndWhite = nullptr;
    QLabel* signatureCaption = nullptr;
    QLineEdit* nameEdit = nullptr;
    QLabel* photoFile = nullptr;
    QLabel* signatureFile = nullptr;
    QCheckBox* blackAndWhiteBox = nullptr;
    QLabel* problem = nullptr;
    chameleonButton* photoFolderP = nullptr;
    chameleonButton* signatureFolderP = nullptr;
    chameleonButton* FotoP = nullptr;
    chameleonButton* FirmaP = nullptr;
    chameleonButton* TestP = nullptr;
    chameleonButton* SalvaP = nullptr;
    chameleonButton* EsciP = nullptr;
    chameleonButton* MsgL = nullptr;
    WebPage* wb = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    // Makes the photo and the signature from the crops and shows them.
    void ShowPhoto();
    void ShowSignature();
    void ShowFiles();

    Services services_;
    std::unique_ptr<LayoutButtons> buttons_;
    QString sourcePath_;
    QImage page_;
    QImage photoPage_;
    ApplicantProposal::Proposal proposal_;
    QString framingNote_;
    bool busy_ = false;
    FIBITMAP* photoResult_ = nullptr;
    FIBITMAP* signatureResult_ = nullptr;
};
