#include "WindowAside.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace {

// How long a window manager is given to answer a move; openbox answers
// within a few milliseconds, and without a manager no answer comes at all.
constexpr int WindowManagerAnswerMs = 300;

// Whether this window system lets a program put its windows anywhere.
bool CanPlaceWindows()
{
    return !QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

QList<QRect> ScreenAreas()
{
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->geometry();
    return areas;
}

// Ends a wait as soon as the window is moved by someone else.
class MoveWatch final : public QObject {
public:
    MoveWatch(QWidget* window, QEventLoop& loop)
        : window_(window)
        , loop_(loop)
    {
        window_->installEventFilter(this);
    }
    ~MoveWatch() override { window_->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Move)
            loop_.quit();
        return false;
    }

private:
    QWidget* window_;
    QEventLoop& loop_;
};

} // namespace

bool WhollyOffScreen(const QRect& frame, const QList<QRect>& screens)
{
    for (const QRect& screen : screens)
        if (screen.intersects(frame))
            return false;
    return true;
}

WindowAside::WindowAside(QWidget* window)
    : window_(window)
{
    // A dialog is left as it is: hiding one that runs its own modal loop
    // ends that loop, and the window opened over it covers it anyway.
    if (qobject_cast<QDialog*>(window_.data()))
        window_.clear();
    if (!window_)
        return;
    // The inner area: its place is where the window system puts it, while
    // the frame's place depends on a frame the manager may not have drawn yet.
    geometry_ = window_->geometry();
    if (CanPlaceWindows()) {
        // Beyond the right edge of every screen: the screen width and 1000
        // twips (at 15 twips to the pixel) more.
        const QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
        const QRect desktop = screen->virtualGeometry();
        window_->move(desktop.x() + desktop.width() + 67, window_->pos().y());
        waitForWindowManager();
        if (WhollyOffScreen(window_->frameGeometry(), ScreenAreas()))
            return;
        // A manager that keeps windows on screen (openbox leaves 101 pixels):
        // hidden instead, and given its own place back while hidden.
        window_->hide();
        window_->setGeometry(geometry_);
    } else {
        window_->hide();
    }
    hidden_ = true;
}

WindowAside::~WindowAside()
{
    if (!window_)
        return;
    if (hidden_) {
        window_->show();
        waitForWindowManager();
    }
    if (window_->geometry() != geometry_)
        window_->setGeometry(geometry_);
}

void WindowAside::waitForWindowManager()
{
    // Only a window system with a separate manager answers a move later.
    if (QGuiApplication::platformName() != QStringLiteral("xcb") || !window_->isVisible())
        return;
    QEventLoop loop;
    MoveWatch watch(window_, loop);
    QTimer::singleShot(WindowManagerAnswerMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
