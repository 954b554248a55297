#include "ModalScript.h"

#include <QApplication>
#include <QWidget>

ModalScript::ModalScript(const char* className, std::function<void(QWidget*)> act)
{
    // Polled, not a single shot: a window that handles events while it
    // loads would take a single shot before it is modal.
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this, className, act = std::move(act)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->inherits(className) || !modal->isVisible())
            return;
        timer_.stop();
        acted_ = true;
        window_ = modal;
        act(modal);
    });
    timer_.start();
}

ModalScript::~ModalScript()
{
    timer_.stop();
}
