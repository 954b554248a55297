#include "FramingEditor.h"

#include "Fonts.h"
#include "FrameShape.h"
#include "ImageControl.h"
#include "LayoutButtons.h"
#include "Numbers.h"
#include "OperatorDialogs.h"
#include "PictureView.h"
#include "PresetsTable.h"
#include "SettingsStore.h"
#include "SourcePicture.h"
#include "WindowAside.h"
#include "chameleonButton.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>

namespace {

QLabel* MakeLabel(QWidget* parent, const QRect& box, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(box);
    label->setFont(UiFont(12, true));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

QScrollBar* MakeScrollBar(QWidget* parent, Qt::Orientation orientation, const QRect& box)
{
    auto* bar = new QScrollBar(orientation, parent);
    bar->setGeometry(box);
    bar->setRange(0, 32767);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    // Only a settled value pans, not every position of a dragged scroll box.
    bar->setTracking(false);
    bar->setEnabled(false);
    return bar;
}

Qt::CursorShape CursorFor(int code)
{
    switch (code) {
    case Framing::PointerFourWay:
        return Qt::SizeAllCursor;
    case Framing::PointerDiagonal:
        return Qt::SizeFDiagCursor;
    case Framing::PointerVertical:
        return Qt::SizeVerCursor;
    case Framing::PointerHorizontal:
        return Qt::SizeHorCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace

FramingEditor::FramingEditor(const EditorKind& kind, const Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
    , kind_(kind)
    , services_(services)
{
    setWindowTitle(QStringLiteral("Foto"));
    setFixedSize(ClientWidth, ClientHeight);
    setModal(true);
    CreateControls();
}

FramingEditor::~FramingEditor() = default;

void FramingEditor::CreateControls()
{
    PbeS = new FrameShape(this);
    PbeS->setGeometry(kind_.PbeS);
    Pbe = new QWidget(this);
    Pbe->setGeometry(kind_.Pbe);
    Pbe->setAutoFillBackground(true);
    QPalette dark = Pbe->palette();
    dark.setColor(QPalette::Window, QColor(128, 128, 128));
    Pbe->setPalette(dark);
    Pbi = new PictureView(Pbe);
    Sh = MakeScrollBar(this, Qt::Horizontal, kind_.Sh);
    Sv = MakeScrollBar(this, Qt::Vertical, kind_.Sv);
    help = MakeLabel(this, kind_.help, QString());
    Label1 = MakeLabel(this, kind_.Label1, QStringLiteral("Risultato"));
    Imgs = new FrameShape(this);
    Imgs->setGeometry(kind_.resultFrame);
    Imgd = new ImageControl(this);
    Imgd->setGeometry(kind_.Imgd);
    Imgd->setStretch(true);
    buttons_ = std::make_unique<LayoutButtons>(this, kind_.buttonLayout);
    SalvaP = buttons_->button(u"SalvaP");
    EsciP = buttons_->button(u"EsciP");
    CentraP = buttons_->button(u"CentraP");

    connect(Pbi, &PictureView::mouseDown, this, [this](int b, float x, float y) { Pbi_MouseDown(b, 0, x, y); });
    connect(Pbi, &PictureView::mouseMove, this, [this](int b, float x, float y) { Pbi_MouseMove(b, 0, x, y); });
    connect(Pbi, &PictureView::mouseUp, this, [this](int b, float x, float y) { Pbi_MouseUp(b, 0, x, y); });
    connect(Pbi, &PictureView::arrowKey, this, &FramingEditor::KeyFrame);
    connect(Sh, &QScrollBar::valueChanged, this, &FramingEditor::Sh_Change);
    connect(Sv, &QScrollBar::valueChanged, this, &FramingEditor::Sv_Change);
    connect(SalvaP, &chameleonButton::Click, this, [this] { SalvaP_Click(); });
    connect(EsciP, &chameleonButton::Click, this, &FramingEditor::EsciP_Click);
    connect(CentraP, &chameleonButton::Click, this, &FramingEditor::CentraP_Click);
}

FIBITMAP* FramingEditor::Go(const QString& sourcePath, QWidget* caller)
{
    ResultBitmap = nullptr;
    SourcePath = sourcePath;
    correcting_ = false;
    Run(caller);
    return ResultBitmap;
}

bool FramingEditor::Correct(const QString& sourcePath, const QRect& crop, bool turned, QWidget* caller)
{
    ResultBitmap = nullptr;
    SourcePath = sourcePath;
    correcting_ = true;
    turned_ = turned;
    proposed_ = crop;
    CorrectedCrop = QRect();
    Run(caller);
    correcting_ = false;
    // A portal check leaves its photo here; nothing was saved by it.
    if (ResultBitmap)
        FreeImage_Unload(ResultBitmap);
    ResultBitmap = nullptr;
    return !CorrectedCrop.isEmpty();
}

bool FramingEditor::GiveBackCrop()
{
    if (!correcting_)
        return false;
    CorrectedCrop = QRect(SelLeft + Sh->value(), SelTop + Sv->value(), SelWidth, SelHeight);
    accept();
    return true;
}

void FramingEditor::Run(QWidget* caller)
{
    ResetState();
    if (!Form_Load())
        return;

    const QScreen* screen = caller && caller->screen() ? caller->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    {
        const WindowAside aside(caller);
        exec();
    }
}

bool FramingEditor::Form_Load()
{
    help->setText(kind_.helpText);
    Pbi->setPenColor(ToQColor(kind_.penColor));

    QApplication::setOverrideCursor(Qt::WaitCursor);
    SourcePicture::Loaded loaded = SourcePicture::Load(SourcePath);
    QApplication::restoreOverrideCursor();
    if (loaded.problem != SourcePicture::Problem::None) {
        services_.dialogs.showMessage(parentWidget(), SourcePicture::MessageFor(loaded.problem),
                                      MessageIcon::Critical);
        return false;
    }
    Pbi->setPicture(loaded.picture);
    Pbi->move(0, 0);
    const int pictureWidth = Pbi->picture().width();
    const int pictureHeight = Pbi->picture().height();
    ViewWidth = Numbers::ClampInt16(pictureWidth);
    ViewHeight = Numbers::ClampInt16(pictureHeight);

    const Framing::ScrollSetup across = Framing::SetUpScroll(kind_.Pbe.width(), pictureWidth);
    if (across.enabled) {
        Sh->setEnabled(true);
        Sh->setSingleStep(across.smallStep);
        Sh->setPageStep(across.largeStep);
        Sh->setMaximum(across.maximum);
    }
    ViewWidth = across.view;
    const Framing::ScrollSetup down = Framing::SetUpScroll(kind_.Pbe.height(), pictureHeight);
    if (down.enabled) {
        Sv->setEnabled(true);
        Sv->setSingleStep(down.smallStep);
        Sv->setPageStep(down.largeStep);
        Sv->setMaximum(down.maximum);
    }
    ViewHeight = down.view;

    setSelection(Framing::InitialSelection(ViewWidth, ViewHeight, kind_));
    DrawSelectionFrame();
    DragMode = Framing::Moving;
    Pbi_MouseUp(0, 0, 0, 0);

    for (const Framing::ScrollAssignment& a : Framing::BuiltInPresets(pictureWidth, pictureHeight, kind_))
        ApplyScroll(a.bar == Framing::ScrollAssignment::Horizontal ? Sh : Sv, a.value);
    const QByteArray table = PresetsTable::Read(services_.folders.programFolder);
    for (const PresetsTable::ScrollValues& row :
         PresetsTable::MatchingRows(table, pictureWidth, pictureHeight, kind_)) {
        ApplyScroll(Sh, row.sh);
        ApplyScroll(Sv, row.sv);
    }
    if (correcting_ && turned_)
        Pbi->turnPicture();
    FinishLoad();
    if (correcting_) {
        if (!proposed_.isEmpty() && !FrameOn(proposed_))
            SubjectTooLarge(proposed_);
    } else if (AutoFrameAtLoad()) {
        AutoFrame();
    }
    return true;
}

bool FramingEditor::AutoFrameAtLoad() const
{
    return Numbers::LenientNumber(services_.settings.read(QStringLiteral("AutoInquadra"), QStringLiteral("1"))) != 0;
}

bool FramingEditor::AutoFrame()
{
    if (Ignoring())
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QRect target = FindSubject();
    QApplication::restoreOverrideCursor();
    if (target.isEmpty())
        return false;
    if (!FrameOn(target))
        SubjectTooLarge(target);
    return true;
}

bool FramingEditor::FrameOn(const QRect& target)
{
    if (Ignoring())
        return true;
    const Framing::Placement p = Framing::PlaceInView(target, {ViewWidth, ViewHeight}, Sh->isEnabled() ? Sh->maximum() : 0,
                                                      Sv->isEnabled() ? Sv->maximum() : 0);
    EraseSelectionFrame();
    setSelection(p.selection);
    DrawSelectionFrame();
    // Each bar that moves pans and commits; the last commit below makes
    // sure of one when neither moves.
    if (Sh->isEnabled())
        ApplyScroll(Sh, p.h);
    if (Sv->isEnabled())
        ApplyScroll(Sv, p.v);
    DragMode = Framing::Moving;
    Pbi_MouseUp(0, 0, 0, 0);
    return p.selection.width >= target.width() && p.selection.height >= target.height();
}

void FramingEditor::CentraP_Click()
{
    AutoFrame();
}

void FramingEditor::KeyFrame(int key, Qt::KeyboardModifiers modifiers)
{
    if (Ignoring())
        return;
    const int step = modifiers & Qt::ShiftModifier ? 10 : 1;
    int dx = 0, dy = 0;
    switch (key) {
    case Qt::Key_Left:
        dx = -step;
        break;
    case Qt::Key_Right:
        dx = step;
        break;
    case Qt::Key_Up:
        dy = -step;
        break;
    case Qt::Key_Down:
        dy = step;
        break;
    default:
        return;
    }
    const Framing::View view{ViewWidth, ViewHeight};
    const Framing::Step next = modifiers & Qt::ControlModifier
        ? Framing::KeyResizeStep(selection(), dx, dy, Sh->value(), Sv->value(), view, kind_)
        : Framing::KeyMoveStep(selection(), dx, dy, view);
    EraseSelectionFrame();
    setSelection(next.selection);
    DrawSelectionFrame();
    DragMode = Framing::Moving;
    Pbi_MouseUp(0, 0, 0, 0);
}

void FramingEditor::ApplyScroll(QScrollBar* bar, int value)
{
    // A value outside the bar's range is brought into it.
    bar->setValue(qBound(bar->minimum(), value, bar->maximum()));
}

void FramingEditor::setSelection(const Framing::Selection& s)
{
    SelLeft = s.left;
    SelTop = s.top;
    SelWidth = s.width;
    SelHeight = s.height;
}

void FramingEditor::SetPointer(int code)
{
    pointer_ = code;
    Pbi->setCursor(CursorFor(code));
}

void FramingEditor::DrawSelectionFrame()
{
    DrawnScrollX = Numbers::ClampInt16(Sh->value());
    DrawnScrollY = Numbers::ClampInt16(Sv->value());
    const Framing::Edges e = Framing::EdgesOf(selection(), DrawnScrollX, DrawnScrollY);
    Pbi->toggleFigure(SelectionFigure(e.left, e.top, e.right, e.bottom));
}

void FramingEditor::EraseSelectionFrame()
{
    const Framing::Edges e = Framing::EdgesOf(selection(), DrawnScrollX, DrawnScrollY);
    Pbi->toggleFigure(SelectionFigure(e.left, e.top, e.right, e.bottom));
}

void FramingEditor::Pbi_MouseDown(int buttons, int, float x, float y)
{
    if (Ignoring())
        return;
    const Framing::Press press = Framing::PressAt(buttons, x, y, selection(), Sh->value(), Sv->value());
    DragMode = press.dragMode;
    if (buttons == 1) {
        GrabDX = press.grabDX;
        GrabDY = press.grabDY;
    }
}

void FramingEditor::Pbi_MouseMove(int buttons, int, float x, float y)
{
    if (Ignoring())
        return;
    const int h = Sh->value();
    const int v = Sv->value();
    if (buttons == 0) {
        DragMode = Framing::Idle;
        SetPointer(Framing::HoverPointer(selection(), h, v, x, y));
        return;
    }
    const Framing::View view{ViewWidth, ViewHeight};
    Framing::Step step;
    switch (DragMode) {
    case Framing::Moving:
        step = Framing::MoveStep(selection(), x, y, GrabDX, GrabDY, view);
        break;
    case Framing::ResizingBottomRight:
        step = Framing::ResizeBottomRightStep(selection(), x, y, h, v, view, kind_);
        break;
    case Framing::ResizingTopLeft:
        step = Framing::ResizeTopLeftStep(selection(), x, y, h, v, view, kind_);
        break;
    default:
        DragMode = Framing::Idle;
        return;
    }
    EraseSelectionFrame();
    setSelection(step.selection);
    if (step.pointer >= 0)
        SetPointer(step.pointer);
    DrawSelectionFrame();
}

void FramingEditor::Pbi_MouseUp(int, int, float, float)
{
    if (DragMode == Framing::Idle || Ignoring())
        return;
    EraseSelectionFrame();
    Commit();
    DrawSelectionFrame();
    DragMode = Framing::Idle;
    Committed();
}

void FramingEditor::Commit()
{
    Pbd = Pbi->picture().copy(SelLeft + Sh->value(), SelTop + Sv->value(), SelWidth, SelHeight);
    Imgd->setPicture(Pbd);
    if (kind_.which == EditorKind::Which::Signature)
        Imgd->setGeometry(Framing::SignaturePreview(SelWidth, SelHeight, Imgs->pos()));
}

void FramingEditor::Sh_Change()
{
    if (Ignoring())
        return;
    Pbi->move(-Sh->value(), Pbi->y());
    DragMode = Framing::Moving;
    Pbi_MouseUp(0, 0, 0, 0);
}

void FramingEditor::Sv_Change()
{
    if (Ignoring())
        return;
    Pbi->move(Pbi->x(), -Sv->value());
    DragMode = Framing::Moving;
    Pbi_MouseUp(0, 0, 0, 0);
}

void FramingEditor::EsciP_Click()
{
    if (Ignoring())
        return;
    reject();
}

void FramingEditor::closeEvent(QCloseEvent* event)
{
    if (Ignoring())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void FramingEditor::keyPressEvent(QKeyEvent* event)
{
    // Escape means Annulla, and waits like it while the editor is busy.
    if (event->key() == Qt::Key_Escape) {
        EsciP_Click();
        return;
    }
    // Arrows that no control took (none has the focus) frame too.
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right || event->key() == Qt::Key_Up
        || event->key() == Qt::Key_Down) {
        KeyFrame(event->key(), event->modifiers());
        return;
    }
    QDialog::keyPressEvent(event);
}
