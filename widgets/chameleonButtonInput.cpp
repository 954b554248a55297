// Mouse, keyboard, focus and access-key handling of the button. Every
// public event is raised before the button reacts, and the reaction uses the
// arguments as the handlers left them.

#include "chameleonButton.h"

#include "KeyCodes.h"

#include <QKeyEvent>
#include <QMouseEvent>

bool chameleonButton::IsMouseOver(QPoint local) const
{
    if (!rect().contains(local))
        return false;
    if (!mask().isEmpty() && !mask().contains(local))
        return false;
    // A sibling drawn over the button has the mouse, not the button.
    const QWidget* top = window();
    if (top == this)
        return true;
    return top->childAt(mapTo(top, local)) == this;
}

void chameleonButton::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    qint16 button = MouseButtonCode(event->button());
    qint16 shift = ShiftMask(event->modifiers());
    float x = static_cast<float>(event->position().x());
    float y = static_cast<float>(event->position().y());
    pressedButton_ = event->button();
    emit MouseDown(button, shift, x, y);
    LastButton = static_cast<quint8>(button);
    if (button != KeyCodes::RightButton)
        DrawButton(2, false);
}

void chameleonButton::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    qint16 buttons = MouseButtonsMask(event->buttons());
    qint16 shift = ShiftMask(event->modifiers());
    float x = static_cast<float>(event->position().x());
    float y = static_cast<float>(event->position().y());
    emit MouseMove(buttons, shift, x, y);
    const bool over = IsMouseOver(event->position().toPoint());
    if (buttons == 0 || buttons == KeyCodes::LeftButton) {
        if (over) {
            if (buttons == 0) {
                if (!MouseIsOver) {
                    MouseIsOver = true;
                    DrawButton(0, true);
                    emit MouseOver();
                }
            } else {
                const bool wasOver = MouseIsOver;
                MouseIsOver = true;
                DrawButton(2, false);
                MouseIsOver = wasOver;
            }
        } else {
            DrawButton(0, false); // dragged off while held: looks released
        }
    }
    // While a button is held the mouse stays grabbed and no leave event
    // comes; leaving is noticed here instead.
    if (!over)
        OverTimerTick(false);
}

void chameleonButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    qint16 button = MouseButtonCode(event->button());
    qint16 shift = ShiftMask(event->modifiers());
    float x = static_cast<float>(event->position().x());
    float y = static_cast<float>(event->position().y());
    emit MouseUp(button, shift, x, y);
    if (button != KeyCodes::RightButton)
        DrawButton(0, false);
    const bool over = IsMouseOver(event->position().toPoint());
    const bool click = over && event->button() == pressedButton_;
    if (event->button() == pressedButton_)
        pressedButton_ = Qt::NoButton;
    if (click)
        UserControl_Click();
    if (!over)
        OverTimerTick(false);
}

void chameleonButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    // The second press of a double click is a press like the first, so that
    // its release clicks again.
    pressedButton_ = event->button();
    if (LastButton != KeyCodes::LeftButton)
        return;
    qint16 button = KeyCodes::LeftButton;
    qint16 shift = ShiftMask(event->modifiers());
    float x = 0;
    float y = 0;
    emit MouseDown(button, shift, x, y);
    LastButton = static_cast<quint8>(button);
    if (button != KeyCodes::RightButton)
        DrawButton(2, false);
}

void chameleonButton::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    OverTimerTick(false);
}

void chameleonButton::OverTimerTick(bool stillOver)
{
    if (stillOver || !MouseIsOver)
        return;
    MouseIsOver = false;
    DrawButton(0, true);
    emit MouseOut();
}

void chameleonButton::UserControl_Click()
{
    if (LastButton != KeyCodes::LeftButton || !Enabled())
        return;
    if (checkBoxBehaviour_)
        value_ = !value_;
    DrawButton(0, true);
    repaint();
    emit Click();
}

void chameleonButton::AccessKeyPressed()
{
    LastButton = KeyCodes::LeftButton;
    UserControl_Click();
}

bool chameleonButton::clickByPlainAccessKey(const QKeyEvent* event)
{
    // Without Alt the access key works while the focus is on a button, as
    // buttons take no typed text.
    if ((event->modifiers() & ~Qt::ShiftModifier) != Qt::NoModifier || event->text().size() != 1)
        return false;
    const QChar key = event->text().at(0).toLower();
    if (!key.isLetterOrNumber())
        return false;
    const QList<chameleonButton*> buttons = window()->findChildren<chameleonButton*>();
    for (chameleonButton* b : buttons) {
        if (b->accessKey_ == key && b->isVisible() && b->isEnabled() && b->window() == window()) {
            b->AccessKeyPressed();
            return true;
        }
    }
    return false;
}

void chameleonButton::keyPressEvent(QKeyEvent* event)
{
    // The focus stays on a button hidden with no other control to go to;
    // a hidden button never acts, so its keys go to the window.
    if (!isVisible()) {
        event->ignore();
        return;
    }
    qint16 code = VirtualKeyCode(event->key());
    qint16 shift = ShiftMask(event->modifiers());
    emit KeyDown(code, shift);
    LastKey = static_cast<quint8>(code);
    bool handled = true;
    switch (code) {
    case KeyCodes::Space:
        DrawButton(2, false);
        break;
    case KeyCodes::Left:
    case KeyCodes::Up:
        focusNextPrevChild(false);
        break;
    case KeyCodes::Right:
    case KeyCodes::Down:
        focusNextPrevChild(true);
        break;
    default:
        handled = false;
        break;
    }
    if (!event->text().isEmpty()) {
        qint16 ascii = static_cast<qint16>(event->text().at(0).unicode());
        emit KeyPress(ascii);
        if (ascii != 0 && code != KeyCodes::Space && !event->isAutoRepeat() && clickByPlainAccessKey(event))
            handled = true;
    }
    // Keys the button has no use for (Enter, Escape...) go on to the window.
    if (handled)
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

void chameleonButton::keyReleaseEvent(QKeyEvent* event)
{
    if (!isVisible()) {
        event->ignore();
        return;
    }
    if (event->isAutoRepeat()) {
        event->accept(); // a held key repeats its KeyDown only
        return;
    }
    qint16 code = VirtualKeyCode(event->key());
    qint16 shift = ShiftMask(event->modifiers());
    emit KeyUp(code, shift);
    if (code != KeyCodes::Space) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    event->accept();
    if (LastKey != KeyCodes::Space) {
        // Another key came between: no click, but the button must not stay
        // drawn pressed.
        DrawButton(0, false);
        return;
    }
    // Forget the key, so that a later release without its press (the focus
    // arrived with the space bar held) does not click.
    LastKey = 0;
    if (checkBoxBehaviour_)
        value_ = !value_;
    DrawButton(0, false);
    repaint();
    emit Click();
}

void chameleonButton::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    HasFocus = true;
    redraw();
}

void chameleonButton::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    HasFocus = false;
    if (LastKey == KeyCodes::Space) {
        // The space bar went down here and will come up elsewhere.
        LastKey = 0;
        DrawButton(0, true);
        return;
    }
    redraw();
}
