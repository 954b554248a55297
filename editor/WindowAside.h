#pragma once
// Keeps the window that opened an editor out of the way while the editor is
// open: moved beyond the right edge of every screen where the window system
// allows it, hidden where it does not (Wayland) or where the window manager
// keeps part of the window on screen; put back where it was afterwards. A
// dialog is never moved: the window opened over it covers it.

#include <QList>
#include <QPointer>
#include <QRect>

class QWidget;

// Whether a window's frame lies outside every screen.
bool WhollyOffScreen(const QRect& frame, const QList<QRect>& screens);

class WindowAside {
public:
    explicit WindowAside(QWidget* window);
    ~WindowAside();
    WindowAside(const WindowAside&) = delete;
    WindowAside& operator=(const WindowAside&) = delete;

    bool hidden() const { return hidden_; }

private:
    void waitForWindowManager();

    QPointer<QWidget> window_;
    QRect geometry_;
    bool hidden_ = false;
};
