#pragma once
// The crop editor window shared by the photo and the signature editor: the
// picture at 1:1 in a fixed viewport, two scroll bars to pan it, a selection
// rectangle to move and resize, and the result preview Imgd that every
// release and every pan refreshes with the selected pixels. What differs
// between the two editors comes from their EditorKind.

#include "EditorKind.h"
#include "FramingRules.h"
#include "OutputSave.h"
#include "Services.h"

#include <FreeImage.h>

#include <QDialog>
#include <QImage>

#include <memory>

class QLabel;
class QScrollBar;
class FrameShape;
class ImageControl;
class LayoutButtons;
class PictureView;
class chameleonButton;

class FramingEditor : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 1018;
    static constexpr int ClientHeight = 676;

    ~FramingEditor() override;

    // The one entry point: loads the picture, steps the calling window
    // aside, shows the editor modally and returns the bitmap a save left in
    // ResultBitmap (null when nothing was saved). The caller owns it. A
    // picture that cannot be loaded is reported and gives null at once.
    FIBITMAP* Go(const QString& sourcePath, QWidget* caller);

    // The editor as a correction of a crop proposed elsewhere (picture
    // pixels; turned: the picture is shown turned by 180°, as the crop was
    // taken): it opens framed on it, and a save gives the crop back in
    // CorrectedCrop instead of writing files. True when the operator saved.
    bool Correct(const QString& sourcePath, const QRect& crop, bool turned, QWidget* caller);
    QRect CorrectedCrop;

    const EditorKind& kind() const { return kind_; }

    // Window variables, by the names the editor gives them.
    FIBITMAP* ResultBitmap = nullptr;
    QString SourcePath;
    qint16 SelLeft = 0, SelTop = 0, SelWidth = 0, SelHeight = 0;
    qint16 GrabDX = 0, GrabDY = 0;
    qint16 ViewWidth = 0, ViewHeight = 0;
    qint16 DrawnScrollX = 0, DrawnScrollY = 0;
    qint16 DragMode = Framing::Idle;

    // Controls.
    FrameShape* PbeS = nullptr;
    QWidget* Pbe = nullptr;
    PictureView* Pbi = nullptr;
    QScrollBar* Sh = nullptr;
    QScrollBar* Sv = nullptr;
    QLabel* help = nullptr;
    QLabel* Label1 = nullptr;
    FrameShape* Imgs = nullptr; // the frame around the result preview
    ImageControl* Imgd = nullptr;
    chameleonButton* SalvaP = nullptr;
    chameleonButton* EsciP = nullptr;
    // "Centra viso" / "Centra firma": the automatic framing on demand.
    chameleonButton* CentraP = nullptr;
    QImage Pbd; // the last crop, at the picture's own resolution

    // Handlers.
    void Pbi_MouseDown(int buttons, int shift, float x, float y);
    void Pbi_MouseMove(int buttons, int shift, float x, float y);
    void Pbi_MouseUp(int button, int shift, float x, float y);
    void Sh_Change();
    void Sv_Change();
    void EsciP_Click();
    virtual void SalvaP_Click() = 0;
    void CentraP_Click();

    // The keyboard framing: an arrow key moves the selection by a pixel
    // (Shift: ten), with Ctrl it moves the bottom-right corner; each press
    // commits like a release.
    void KeyFrame(int key, Qt::KeyboardModifiers modifiers);

    // Frames what the editor looks for (face, signature) and commits; false,
    // with the editor as it was, when nothing is found.
    bool AutoFrame();
    // Puts the selection on a rectangle of the picture: scrolls so that it
    // lies in view, shrinks it to the view if need be, then commits. False
    // when it had to be shrunk.
    bool FrameOn(const QRect& target);
    // The setting "AutoInquadra": anything but 0 frames at load.
    bool AutoFrameAtLoad() const;

    // Loads the window on the picture; false (nothing shown, operator told)
    // when it cannot be loaded.
    bool Form_Load();

    // The pointer code last set on Pbi.
    int PointerCode() const { return pointer_; }

protected:
    FramingEditor(const EditorKind& kind, const Services& services, QWidget* parent);

    // True while the editor must ignore its handlers (the photo editor's
    // portal check).
    virtual bool Ignoring() const { return false; }
    // Editor-specific steps at the start and at the end of loading.
    virtual void ResetState() {}
    virtual void FinishLoad() {}
    // Where the editor's subject lies in the picture; empty when not found.
    virtual QRect FindSubject() = 0;
    // After every commit.
    virtual void Committed() {}
    // The subject found is larger than the view: the editor framed the part
    // of it that fits and tells the operator.
    virtual void SubjectTooLarge(const QRect& /*subject*/) {}

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    const Services& services() const { return services_; }
    bool Correcting() const { return correcting_; }
    // In a correction, takes the selection as the corrected crop and closes
    // the editor: true, and the save button writes nothing.
    bool GiveBackCrop();
    // What the save buttons write with.
    OutputSave::Context saveContext() { return {services_.settings, services_.dialogs, this}; }
    const LayoutButtons& buttons() const { return *buttons_; }

private:
    void CreateControls();
    // Loads, steps the caller aside and shows the editor modally.
    void Run(QWidget* caller);
    void DrawSelectionFrame();
    void EraseSelectionFrame();
    void Commit();
    void ApplyScroll(QScrollBar* bar, int value);
    void SetPointer(int code);
    Framing::Selection selection() const { return {SelLeft, SelTop, SelWidth, SelHeight}; }
    void setSelection(const Framing::Selection& s);

    const EditorKind& kind_;
    Services services_;
    std::unique_ptr<LayoutButtons> buttons_;
    int pointer_ = Framing::PointerDefault;
    bool correcting_ = false;
    bool turned_ = false;
    QRect proposed_;
};
