#pragma once
// The main window: shows the source picture, offers the ways of taking one
// in, opens the photo and signature editors, the licence-card preview and
// the configuration, and ends the program when it closes.

#include "ProposalAhead.h"
#include "Services.h"

#include <QDateTime>
#include <QWidget>

#include <array>

class QLabel;
class QTimer;
class chameleonButton;
class FrameShape;
class FramingEditor;
class ImageControl;

class FormMain : public QWidget {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 1018;
    static constexpr int ClientHeight = 676;

    explicit FormMain(const Services& services, QWidget* parent = nullptr);
    ~FormMain() override;

    // "Ritrax versione 3.10.0": the design title, " versione ", then the
    // version numbers in plain decimal.
    static QString TitleFor(const QString& designTitle, int major, int minor, int revision);

    // Enables or disables the command buttons as one group. Disabling
    // remembers whether FotoP was enabled; enabling gives FotoP and FirmaP
    // that state back.
    void EnableCommands(bool enable);

    // Window and control events.
    void Form_Activate();
    void ScannerP_Click(int index);
    void FotoP_Click();
    void FirmaP_Click();
    void CfgP_Click();
    void AnteprimaP_Click();
    // Photo and signature framed at once and confirmed in one window.
    void OnePassP_Click();
    void EsciP_Click();
    void Background_Click();

    // Takes in an image file named from the desktop (the program's
    // argument, a drop) exactly as a file chosen with the File button.
    void OpenFile(const QString& path);

    // The window's state.
    QString SourceFile;
    bool FaiAct = false;
    QString Tag;

    // The controls, by the names the window gives them.
    std::array<QLabel*, 3> Label1{};
    std::array<chameleonButton*, 3> ScannerP{}; // 0 scanner, 1 file, 2 webcam
    chameleonButton* AnteprimaP = nullptr;
    chameleonButton* OnePassP = nullptr;
    chameleonButton* FotoP = nullptr;
    chameleonButton* FirmaP = nullptr;
    chameleonButton* MsgL = nullptr;
    chameleonButton* CfgP = nullptr;
    chameleonButton* EsciP = nullptr;
    ImageControl* Img = nullptr;
    ImageControl* FotoI = nullptr;
    ImageControl* FirmaI = nullptr;
    ImageControl* AnteprimaI = nullptr;
    ImageControl* FotoA = nullptr;
    ImageControl* FirmaA = nullptr;
    ImageControl* Neutro = nullptr;
    FrameShape* ImgS = nullptr;
    FrameShape* FotoS = nullptr;
    FrameShape* FirmaS = nullptr;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateControls();
    void SetTabOrder();
    void ConnectHandlers();
    void Form_Load();
    void Form_Unload();

    // Source intake.
    void ShowMessagePanel(const QString& text);
    void FileIntake();
    // The File button's checks and intake of a named file, with the
    // commands already disabled.
    void TakeInChosenFile(const QString& path);
    bool TakesDrops() const;
    void ScannerIntake();
    void WebCamIntake();
    bool AcceptSource(const QString& path);
    void RefuseIntake(const QString& message);
    void ShowSource(const QImage& picture);

    // Editor launch.
    void OpenEditor(FramingEditor& editor, ImageControl& thumbnail);
    // Whether the source file is still the one taken in; a missing or
    // unreadable file is refused, a changed one shown again and reported.
    bool SourceStillValid();

    // Licence-card preview.
    void LoadCardPictures();

    Services services_;
    // The one-pass proposal of the source, made while the operator looks,
    // and the page it starts on when the timer runs out.
    ProposalAhead proposalAhead_;
    QTimer* aheadTimer_ = nullptr;
    QImage aheadPage_;
    // Size and modification time of SourceFile when it was taken in.
    qint64 sourceSize_ = -1;
    QDateTime sourceModified_;
    bool SavedEditEnabled = false;
    // Visibility of Img, FotoI and FirmaI when the preview opened.
    bool SavedImgVisible = false;
    bool SavedFotoIVisible = false;
    bool SavedFirmaIVisible = false;
    bool centred_ = false;
    bool unloaded_ = false;
    bool backgroundPressed_ = false;
};
