#pragma once
// The webcam through Qt Multimedia: the video inputs QMediaDevices lists,
// one of them run by a QCamera whose frames a video sink turns into
// pictures.

#include "CameraBackend.h"

#include <QCameraDevice>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <memory>

class QCamera;
class QCameraFormat;
class QMediaCaptureSession;
class QVideoFrame;
class QVideoSink;

class QtCameraBackend final : public QObject, public CameraBackend {
    Q_OBJECT
public:
    // How long start() waits for the camera to run before giving up.
    static constexpr int StartTimeoutMs = 5000;
    // A running camera silent this long is started again: its preview
    // would otherwise stay on the last frame it sent, and so would a still.
    static constexpr int StallMs = 2000;

    explicit QtCameraBackend(QObject* parent = nullptr);
    ~QtCameraBackend() override;

    QStringList videoInputs() override;
    bool start(int index, int frameIntervalMs, FrameHandler onFrame) override;
    void stop() override;
    bool isRunning() const override;
    QList<VideoFormat> videoFormats() const override;
    int currentVideoFormat() const override;
    bool applyVideoFormat(int index) override;

    // How many times a silent camera was started again since start().
    int restarts() const { return restarts_; }

private:
    bool startDevice(const QCameraFormat& format);
    void takeFrame(const QVideoFrame& frame);
    void checkStalled();

    // Made at the first start: Qt Multimedia loads its media framework
    // only when a webcam is really used.
    std::unique_ptr<QVideoSink> sink_;
    std::unique_ptr<QMediaCaptureSession> session_; // goes before the sink it feeds
    std::unique_ptr<QCamera> camera_;
    QCameraDevice device_;
    FrameHandler onFrame_;
    int frameIntervalMs_ = 0;
    QElapsedTimer sinceLastFrame_;
    QElapsedTimer sinceAnyFrame_;
    QTimer watchdog_;
    int restarts_ = 0;
    bool failed_ = false;
};
