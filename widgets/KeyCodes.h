#pragma once
// The numbers the button's events report: virtual key codes (space 32,
// arrows 37-40, letters 65-90, digits 48-57), the shift mask (1 Shift,
// 2 Ctrl, 4 Alt) and mouse button codes (1 left, 2 right, 4 middle).

#include <Qt>
#include <QtGlobal>

namespace KeyCodes {
constexpr qint16 Space = 32;
constexpr qint16 Left = 37;
constexpr qint16 Up = 38;
constexpr qint16 Right = 39;
constexpr qint16 Down = 40;
constexpr qint16 LeftButton = 1;
constexpr qint16 RightButton = 2;
constexpr qint16 MiddleButton = 4;
} // namespace KeyCodes

// 0 for keys without a code.
qint16 VirtualKeyCode(int qtKey);
qint16 ShiftMask(Qt::KeyboardModifiers modifiers);
qint16 MouseButtonCode(Qt::MouseButton button);
qint16 MouseButtonsMask(Qt::MouseButtons buttons);
