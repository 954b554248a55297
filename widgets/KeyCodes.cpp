#include "KeyCodes.h"

qint16 VirtualKeyCode(int key)
{
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9) || key == Qt::Key_Space)
        return static_cast<qint16>(key); // the same numbers
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<qint16>(112 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return KeyCodes::Left;
    case Qt::Key_Up: return KeyCodes::Up;
    case Qt::Key_Right: return KeyCodes::Right;
    case Qt::Key_Down: return KeyCodes::Down;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Asterisk: return 106;
    case Qt::Key_Plus: return 107;
    case Qt::Key_Minus: return 109;
    case Qt::Key_Period: return 190;
    case Qt::Key_Comma: return 188;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    default: return 0;
    }
}

qint16 ShiftMask(Qt::KeyboardModifiers modifiers)
{
    qint16 mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= 1;
    if (modifiers & Qt::ControlModifier)
        mask |= 2;
    if (modifiers & Qt::AltModifier)
        mask |= 4;
    return mask;
}

qint16 MouseButtonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return KeyCodes::LeftButton;
    case Qt::RightButton: return KeyCodes::RightButton;
    case Qt::MiddleButton: return KeyCodes::MiddleButton;
    default: return 0;
    }
}

qint16 MouseButtonsMask(Qt::MouseButtons buttons)
{
    qint16 mask = 0;
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        if (buttons & b)
            mask |= MouseButtonCode(b);
    return mask;
}
