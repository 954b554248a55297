#pragma once
// The capture window: the child of the webcam window's preview area that
// shows the live picture of the running input. With scaling on, each frame
// is stretched over the whole window whatever its proportions; before the
// first frame the window is black.

#include <QImage>
#include <QWidget>

class CaptureWindow : public QWidget {
    Q_OBJECT
public:
    explicit CaptureWindow(QWidget* parent = nullptr);

    void setFrame(const QImage& frame);
    const QImage& frame() const { return frame_; }
    bool hasFrame() const { return !frame_.isNull(); }

    // On: frames are stretched over the window. Off: drawn at their own
    // size from the top-left corner.
    void setScale(bool on);
    bool scale() const { return scale_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage frame_;
    bool scale_ = false;
};
