#include "chameleonButton.h"

#include "AccessKey.h"
#include "ButtonRegion.h"
#include "ButtonRenderer.h"
#include "Fonts.h"
#include "LineBreaks.h"
#include "Numbers.h"

#include <QEvent>
#include <QKeySequence>
#include <QPainter>
#include <QShortcutEvent>

namespace {

OleColor FromQColor(const QColor& c)
{
    return MakeOleColor(c.red(), c.green(), c.blue());
}

bool BlankCaption(const QString& caption)
{
    // Only spaces count as blank: a caption of line breaks keeps its picture
    // beside it.
    for (const QChar ch : caption)
        if (ch != u' ')
            return false;
    return true;
}

} // namespace

chameleonButton::chameleonButton(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true); // mouse moves without a button held start the hover look
    SetColors();
    backColor_ = backOver_ = colors_.FaceColor;
    foreColor_ = foreOver_ = colors_.TextColor;
}

void chameleonButton::notify(const char* name)
{
    emit PropertyChanged(QString::fromLatin1(name));
}

// ---- Properties ------------------------------------------------------------

void chameleonButton::setBackColor(OleColor color)
{
    backColor_ = color;
    if (designMode_)
        backOver_ = color;
    SetColors();
    redraw();
    notify("BCOL");
}

void chameleonButton::setBackOver(OleColor color)
{
    backOver_ = color;
    SetColors();
    redraw();
    notify("BCOLO");
}

void chameleonButton::setForeColor(OleColor color)
{
    foreColor_ = color;
    if (designMode_)
        foreOver_ = color;
    SetColors();
    redraw();
    notify("FCOL");
}

void chameleonButton::setForeOver(OleColor color)
{
    foreOver_ = color;
    SetColors();
    redraw();
    notify("FCOLO");
}

void chameleonButton::setMaskColor(OleColor color)
{
    maskColor_ = color;
    SetColors();
    redraw();
    notify("MCOL");
}

void chameleonButton::setButtonType(int type)
{
    buttonType_ = type;
    if (designMode_ && type == 5)
        setFontBold(true);
    else if (type == 11 && PaintEnabled)
        CaptureBackground();
    // The base colour of style 3 is computed differently from the others.
    SetColors();
    ResizeHandling();
    notify("BTYPE");
}

void chameleonButton::setCaption(const QString& caption)
{
    caption_ = caption;
    SetAccessKey();
    CalcLayout();
    DrawButton(0, true);
    notify("TX");
}

void chameleonButton::setFontQuietly(const QFont& f)
{
    quietFont_ = true;
    setFont(f);
    quietFont_ = false;
}

void chameleonButton::setFontBold(bool on)
{
    QFont f = font();
    f.setBold(on);
    setFontQuietly(f);
}

void chameleonButton::setFontItalic(bool on)
{
    QFont f = font();
    f.setItalic(on);
    setFontQuietly(f);
}

void chameleonButton::setFontUnderline(bool on)
{
    QFont f = font();
    f.setUnderline(on);
    setFontQuietly(f);
}

qint16 chameleonButton::FontSize() const
{
    const QFont f = font();
    const double points = f.pixelSize() > 0 ? PixelsToPoints(f.pixelSize()) : f.pointSizeF();
    return Numbers::ToInt16(points);
}

void chameleonButton::setFontSize(qint16 points)
{
    QFont f = font();
    f.setPixelSize(std::max(1, PointsToPixels(points)));
    setFontQuietly(f);
}

void chameleonButton::setFontName(const QString& name)
{
    QFont f = font();
    f.setFamily(ResolvedFamily(name));
    setFontQuietly(f);
}

void chameleonButton::setColorScheme(int scheme)
{
    colorScheme_ = scheme;
    SetColors();
    DrawButton(0, true);
    notify("COLTYPE");
}

void chameleonButton::setShowFocusRect(bool on)
{
    showFocusRect_ = on;
    redraw();
    notify("FOCUSR");
}

void chameleonButton::setMousePointer(qint16 pointer)
{
    mousePointer_ = pointer;
    applyPointer();
    notify("MPTR");
}

void chameleonButton::setMouseIcon(const ButtonPicture& icon)
{
    mouseIcon_ = icon;
    applyPointer();
    notify("MICON");
}

void chameleonButton::setHandPointer(bool on)
{
    handPointer_ = on;
    // The hand is the desktop's own pointing-hand cursor: MouseIcon stays
    // without a picture and applyPointer shows the hand.
    mouseIcon_ = ButtonPicture();
    mousePointer_ = on ? 99 : 1;
    applyPointer();
    notify("HAND");
}

void chameleonButton::applyPointer()
{
    static const Qt::CursorShape shapes[] = {
        Qt::ArrowCursor,     Qt::ArrowCursor,      Qt::CrossCursor,    Qt::IBeamCursor,
        Qt::ArrowCursor,     Qt::SizeAllCursor,    Qt::SizeBDiagCursor, Qt::SizeVerCursor,
        Qt::SizeFDiagCursor, Qt::SizeHorCursor,    Qt::UpArrowCursor,  Qt::WaitCursor,
        Qt::ForbiddenCursor, Qt::BusyCursor,       Qt::WhatsThisCursor, Qt::SizeAllCursor};
    if (mousePointer_ == 99) {
        if (!mouseIcon_.isNull())
            setCursor(QCursor(QPixmap::fromImage(mouseIcon_.image())));
        else if (handPointer_)
            setCursor(Qt::PointingHandCursor);
        else
            unsetCursor();
    } else if (mousePointer_ > 0 && mousePointer_ < static_cast<qint16>(std::size(shapes))) {
        setCursor(shapes[mousePointer_]);
    } else {
        unsetCursor();
    }
}

void chameleonButton::setSoftBevel(bool on)
{
    softBevel_ = on;
    SetColors();
    redraw();
    notify("SOFT");
}

void chameleonButton::setPictureNormal(const ButtonPicture& picture)
{
    pictureNormal_ = picture;
    MeasurePicture();
    CalcLayout();
    redraw();
    notify("PICN");
}

void chameleonButton::setPictureOver(const ButtonPicture& picture)
{
    pictureOver_ = picture;
    if (MouseIsOver)
        redraw();
    notify("PICO");
}

void chameleonButton::setPicturePosition(int position)
{
    picturePosition_ = position;
    CalcLayout();
    redraw();
    notify("PICPOS");
}

void chameleonButton::setUseMaskColor(bool on)
{
    useMaskColor_ = on;
    if (!pictureNormal_.isNull())
        redraw();
    notify("UMCOL");
}

void chameleonButton::setUseGreyscale(bool on)
{
    useGreyscale_ = on;
    if (!pictureNormal_.isNull())
        redraw();
    notify("NGREY");
}

void chameleonButton::setSpecialEffect(int effect)
{
    specialEffect_ = effect;
    redraw();
    notify("FX");
}

void chameleonButton::setCheckBoxBehaviour(bool on)
{
    checkBoxBehaviour_ = on;
    redraw();
    notify("CHECK");
}

void chameleonButton::setValue(bool on)
{
    value_ = on;
    if (checkBoxBehaviour_)
        DrawButton(0, true);
    notify("VALUE");
}

void chameleonButton::setDisplayAsDefault(bool on)
{
    displayAsDefault_ = on;
    redraw();
}

void chameleonButton::DisableRefresh()
{
    PaintEnabled = false;
}

void chameleonButton::Refresh()
{
    if (buttonType_ == 11)
        CaptureBackground();
    SetColors();
    CalcLayout();
    PaintEnabled = true;
    redraw();
    repaint();
}

// ---- Colours, layout, shape ---------------------------------------------------

SystemColors chameleonButton::SystemPalette() const
{
    const QPalette& p = palette();
    const auto role = [&](QPalette::ColorRole r) { return FromQColor(p.color(QPalette::Active, r)); };
    SystemColors s;
    s.buttonFace = role(QPalette::Button);
    s.buttonText = role(QPalette::ButtonText);
    s.buttonShadow = role(QPalette::Dark);
    s.light3D = role(QPalette::Midlight);
    s.buttonHighlight = role(QPalette::Light);
    s.darkShadow3D = role(QPalette::Shadow);
    s.highlight = role(QPalette::Highlight);
    s.window = role(QPalette::Base);
    s.windowText = role(QPalette::Text);
    return s;
}

void chameleonButton::SetColors()
{
    ColorInputs in;
    in.colorScheme = colorScheme_;
    in.buttonType = buttonType_;
    in.softBevel = softBevel_;
    in.backColor = backColor_;
    in.backOver = backOver_;
    in.foreColor = foreColor_;
    in.foreOver = foreOver_;
    in.maskColor = maskColor_;
    in.system = SystemPalette();
    if (colorScheme_ == 4) {
        const QWidget* container = parentWidget() ? parentWidget() : this;
        const QPalette& p = container->palette();
        in.parentBack = FromQColor(p.color(QPalette::Active, container->backgroundRole()));
        in.parentText = FromQColor(p.color(QPalette::Active, container->foregroundRole()));
    }
    colors_ = ::SetColors(in);
}

void chameleonButton::MeasurePicture()
{
    // A picture's stored size is its pixel size at 96 DPI, so converting it
    // back to pixels gives the pixel size again.
    pictureWidth_ = pictureNormal_.width();
    pictureHeight_ = pictureNormal_.height();
}

void chameleonButton::CalcLayout()
{
    const QString text = WithLineFeeds(caption_);
    const QFontMetrics metrics(font());
    const auto measure = [&](const EdgeRect& r) {
        if (text.isEmpty())
            return QSize(0, 0);
        const QRect box(r.left, r.top, std::max(1, r.right - r.left), std::max(1, r.bottom - r.top));
        return metrics.boundingRect(box, Qt::TextWordWrap | Qt::TextShowMnemonic | Qt::AlignLeft | Qt::AlignTop, text)
            .size();
    };
    const bool hasPicture = !pictureNormal_.isNull() || !pictureOver_.isNull();
    layout_ = ::CalcLayout(width(), height(), pictureWidth_, pictureHeight_, picturePosition_, hasPicture,
                           BlankCaption(caption_), measure);
}

void chameleonButton::ResizeHandling()
{
    if (Capturing)
        return;
    W = width();
    H = height();
    if (buttonType_ >= 7 && buttonType_ <= 13)
        focusRect_ = {3, 3, W - 3, H - 3};
    else if (buttonType_ == 14)
        focusRect_ = {6, 6, W - 4, H - 4};
    else
        focusRect_ = {4, 4, W - 4, H - 4};
    CalcLayout();
    const QRegion region = MakeRegion(buttonType_, W, H);
    if (region == QRegion(0, 0, W, H))
        clearMask();
    else
        setMask(region);
    if (surface_.size() != QSize(W, H))
        surface_ = W > 0 && H > 0 ? QImage(W, H, QImage::Format_RGB32) : QImage();
    if (W > 0 && H > 0)
        DrawButton(0, true);
}

void chameleonButton::CaptureBackground()
{
    QWidget* container = parentWidget();
    if (!container || width() <= 0 || height() <= 0)
        return;
    // While Capturing the button paints nothing, so the grab shows what lies
    // under it.
    Capturing = true;
    background_ = container->grab(geometry()).toImage().convertToFormat(QImage::Format_RGB32);
    Capturing = false;
}

void chameleonButton::SetAccessKey()
{
    if (shortcutId_ != 0) {
        releaseShortcut(shortcutId_);
        shortcutId_ = 0;
    }
    accessKey_ = AccessKeyOf(caption_);
    if (!accessKey_.isNull())
        shortcutId_ = grabShortcut(QKeySequence::mnemonic(QStringLiteral("&") + accessKey_));
}

// ---- Drawing -------------------------------------------------------------------

void chameleonButton::DrawButton(int state, bool force)
{
    if (checkBoxBehaviour_ && value_)
        state = 2;
    if (!PaintEnabled || H == 0 || surface_.isNull())
        return;
    if (!force && caption_ == lastCaption_ && state == LastState)
        return;
    LastState = static_cast<quint8>(state);
    lastCaption_ = caption_;

    // Scheme 2 hovers in BackOver: the palette is computed from it for this
    // repaint only.
    const bool overColours = colorScheme_ == 2 && MouseIsOver;
    const OleColor savedBack = backColor_;
    if (overColours) {
        backColor_ = backOver_;
        SetColors();
    }
    ButtonPaintState s;
    s.buttonType = buttonType_;
    s.width = W;
    s.height = H;
    s.enabled = Enabled();
    s.mouseOver = MouseIsOver;
    s.hasFocus = HasFocus;
    s.displayAsDefault = displayAsDefault_;
    s.showFocusRect = showFocusRect_;
    s.softBevel = softBevel_;
    s.useMaskColor = useMaskColor_;
    s.useGreyscale = useGreyscale_;
    s.colorScheme = colorScheme_;
    s.specialEffect = specialEffect_;
    s.picturePosition = picturePosition_;
    s.caption = caption_;
    s.font = font();
    s.colors = colors_;
    s.layout = layout_;
    s.focusRect = focusRect_;
    s.pictureNormal = &pictureNormal_;
    s.pictureOver = &pictureOver_;
    s.background = &background_;
    ButtonRenderer(surface_, s).Paint(state);
    if (overColours) {
        backColor_ = savedBack;
        SetColors();
    }
    update();
}

// ---- Widget events that are not input ------------------------------------------

bool chameleonButton::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        const auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (shortcut->shortcutId() == shortcutId_ && isVisible()) {
            AccessKeyPressed();
            return true;
        }
    }
    return QWidget::event(event);
}

void chameleonButton::paintEvent(QPaintEvent*)
{
    if (Capturing || surface_.isNull())
        return;
    QPainter p(this);
    p.drawImage(0, 0, surface_);
}

void chameleonButton::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ResizeHandling();
}

void chameleonButton::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        CalcLayout();
        redraw();
        if (!quietFont_)
            notify("FONT");
        break;
    case QEvent::EnabledChange:
        if (Enabled() != enabledFlag_) {
            enabledFlag_ = Enabled();
            if (!enabledFlag_) {
                pressedButton_ = Qt::NoButton;
                LastKey = 0;
            }
            DrawButton(0, true);
            notify("ENAB");
        }
        break;
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        // The desktop's (or the container's) colours changed.
        if (colorScheme_ != 2) {
            SetColors();
            redraw();
        }
        break;
    default:
        break;
    }
}

void chameleonButton::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (buttonType_ == 11)
        CaptureBackground();
    PaintEnabled = true;
    SetColors();
    DrawButton(0, true);
}

void chameleonButton::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    PaintEnabled = false;
}
