#include "chameleonButton.h"

#include "AccessKey.h"
#include "LineBreaks.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>

namespace {

const QColor OutlineColor(0, 60, 115);
const QColor FocusColor(107, 130, 239);

QImage Greyed(const QImage& picture)
{
    QImage grey = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int g = qGray(line[x]);
            const int light = 128 + g / 2;
            line[x] = qRgba(light, light, light, qAlpha(line[x]));
        }
    }
    return grey;
}

} // namespace

chameleonButton::chameleonButton(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    backColor_ = MakeOleColor(236, 233, 216);
    foreColor_ = MakeOleColor(0, 0, 0);
}

void chameleonButton::setCaption(const QString& caption)
{
    caption_ = caption;
    accessKey_ = AccessKeyOf(caption_);
    registerAccessKey();
    calcLayout();
    update();
}

void chameleonButton::Refresh()
{
    calcLayout();
    repaint();
}

void chameleonButton::setButtonType(int type)
{
    buttonType_ = type;
    update();
}

void chameleonButton::setColorScheme(int scheme)
{
    colorScheme_ = scheme;
    update();
}

void chameleonButton::setBackColor(OleColor color)
{
    backColor_ = color;
    update();
}

void chameleonButton::setForeColor(OleColor color)
{
    foreColor_ = color;
    update();
}

void chameleonButton::setPictureNormal(const QImage& picture)
{
    pictureNormal_ = picture;
    calcLayout();
    update();
}

void chameleonButton::setPicturePosition(int position)
{
    picturePosition_ = position;
    calcLayout();
    update();
}

void chameleonButton::registerAccessKey()
{
    if (shortcutId_ != 0) {
        releaseShortcut(shortcutId_);
        shortcutId_ = 0;
    }
    if (!accessKey_.isNull())
        shortcutId_ = grabShortcut(QKeySequence::mnemonic(QStringLiteral("&") + accessKey_));
}

void chameleonButton::calcLayout()
{
    const QString text = WithLineFeeds(caption_);
    const QFontMetrics metrics(font());
    const auto measure = [&](const EdgeRect& r) {
        if (text.isEmpty())
            return QSize(0, 0);
        return metrics
            .boundingRect(QRect(r.left, r.top, qMax(1, r.right - r.left), qMax(1, r.bottom - r.top)),
                          Qt::TextWordWrap | Qt::TextShowMnemonic | Qt::AlignLeft | Qt::AlignTop, text)
            .size();
    };
    layout_ = CalcLayout(width(), height(), pictureNormal_.width(), pictureNormal_.height(),
                         picturePosition_, !pictureNormal_.isNull(), caption_.trimmed().isEmpty(),
                         measure);
}

QColor chameleonButton::faceColor() const
{
    return colorScheme_ == 2 ? ToQColor(backColor_) : palette().color(QPalette::Button);
}

QColor chameleonButton::textColor() const
{
    return colorScheme_ == 2 ? ToQColor(foreColor_) : palette().color(QPalette::ButtonText);
}

void chameleonButton::fireClick()
{
    if (!isEnabled())
        return;
    pressed_ = false;
    repaint();
    emit Click();
}

bool chameleonButton::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        const auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (shortcut->shortcutId() == shortcutId_ && isVisible()) {
            fireClick();
            return true;
        }
    }
    return QWidget::event(event);
}

void chameleonButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int W = width();
    const int H = height();
    const bool enabled = isEnabled();
    const bool down = pressed_ && enabled;
    const QColor face = faceColor();

    QLinearGradient gradient(0, 0, 0, H);
    if (!enabled) {
        gradient.setColorAt(0, face.darker(105));
        gradient.setColorAt(1, face.darker(105));
    } else if (down) {
        gradient.setColorAt(0, face.darker(118));
        gradient.setColorAt(1, face.lighter(104));
    } else {
        gradient.setColorAt(0, face.lighter(112));
        gradient.setColorAt(1, face.darker(104));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(gradient);
    p.drawRoundedRect(QRectF(0, 0, W, H), 3, 3);

    p.setBrush(Qt::NoBrush);
    p.setPen(enabled ? OutlineColor : face.darker(150));
    p.drawRoundedRect(QRectF(0.5, 0.5, W - 1, H - 1), 3, 3);
    if (hasFocus() && enabled) {
        p.setPen(FocusColor);
        p.drawRect(QRectF(2.5, 2.5, W - 5, H - 5));
    }

    const int shift = down ? 1 : 0;
    if (!pictureNormal_.isNull()) {
        const QImage& picture = enabled ? pictureNormal_ : Greyed(pictureNormal_);
        p.drawImage(layout_.pictureLeft + shift, layout_.pictureTop + shift, picture);
    }

    const EdgeRect& c = down ? layout_.pressedCaption : layout_.caption;
    p.setFont(font());
    p.setPen(enabled ? textColor() : face.darker(170));
    p.drawText(QRect(c.left, c.top, c.right - c.left, c.bottom - c.top),
               Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic,
               WithLineFeeds(caption_));
}

void chameleonButton::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    calcLayout();
}

void chameleonButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        calcLayout();
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        pressed_ = leftDown_ = spaceDown_ = false;
    }
    QWidget::changeEvent(event);
    update();
}

void chameleonButton::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    leftDown_ = true;
    pressed_ = true;
    update();
}

void chameleonButton::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    if (!leftDown_)
        return;
    const bool inside = rect().contains(event->position().toPoint());
    if (inside != pressed_) {
        pressed_ = inside;
        update();
    }
}

void chameleonButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || !leftDown_)
        return;
    leftDown_ = false;
    const bool inside = rect().contains(event->position().toPoint());
    pressed_ = false;
    update();
    if (inside)
        fireClick();
}

void chameleonButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        spaceDown_ = true;
        pressed_ = true;
        update();
        return;
    }
    QWidget::keyPressEvent(event);
}

void chameleonButton::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        if (spaceDown_) {
            spaceDown_ = false;
            fireClick();
        }
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void chameleonButton::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void chameleonButton::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    spaceDown_ = false;
    if (!leftDown_)
        pressed_ = false;
    update();
}
