#pragma once
// The webcam window: the live picture of the chosen webcam over a 640 x 480
// preview area and, when the operator presses OK, what the preview shows
// written as the working file FILE.BMP. Closing it any other way writes
// nothing. The input is chosen by the setting "WebCam", the first one when
// the setting is empty or names no installed input.

#include "Services.h"

#include <QDialog>

class QListWidget;
class ImageControl;
class chameleonButton;

class FormWebCam : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 656;
    static constexpr int ClientHeight = 562;
    static constexpr int StillWidth = 640;
    static constexpr int StillHeight = 480;

    // Loads the window: lists the inputs, chooses one and starts its
    // preview (or reports that there is none).
    explicit FormWebCam(const Services& services, QWidget* parent = nullptr);
    ~FormWebCam() override;

    // Shows the window modally and tells whether a still was written to
    // FILE.BMP. Without an input the window does not stay open.
    bool Run();

    // Whether OkP wrote the still.
    bool StillTaken() const { return stillTaken_; }

    // Events.
    void Form_Activate();
    void CfgP_Click();
    void OkP_Click();
    void EsciP_Click();

    // State: no input installed.
    bool NoCam = false;

    // Controls.
    QWidget* Picture1 = nullptr;
    QListWidget* List1 = nullptr;
    ImageControl* Image1 = nullptr;
    chameleonButton* CfgP = nullptr;
    chameleonButton* OkP = nullptr;
    chameleonButton* EsciP = nullptr;

    void done(int result) override;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();
    void Form_Load();
    void Form_Unload();
    // The window over which load-time messages appear: the owner, as this
    // window is not on screen yet.
    QWidget* messageParent();

    Services services_;
    bool stillTaken_ = false;
    bool unloaded_ = false;
};
