#pragma once
// Acts on a modal window once it is on screen: a test that opens a modal
// window (exec) sets up a ModalScript first, naming the window's class and
// what to do with it, typically pressing one of its buttons.

#include <QPointer>
#include <QTimer>

#include <functional>

class QWidget;

class ModalScript {
public:
    // act is called once, with the first modal window of class className
    // (or a subclass) that becomes the active modal window.
    ModalScript(const char* className, std::function<void(QWidget*)> act);
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    bool acted() const { return acted_; }
    QPointer<QWidget> window() const { return window_; }

private:
    QTimer timer_;
    bool acted_ = false;
    QPointer<QWidget> window_;
};
