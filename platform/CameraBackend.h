#pragma once
// The program's way to a webcam: the video inputs the system knows, in the
// system's order, and one of them at a time started, its frames handed over
// as pictures. QtCameraBackend (capture/) is the real one; tests hand the
// windows a scripted source.

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// One way an input can send its video.
struct VideoFormat {
    int width = 0;
    int height = 0;
    double minFrameRate = 0.0; // frames per second, 0 when not known
    double maxFrameRate = 0.0;
    QString pixelFormat;       // name of the pixel encoding, for example "YUYV"
    bool operator==(const VideoFormat&) const = default;
};

class CameraBackend {
public:
    using FrameHandler = std::function<void(const QImage& frame)>;

    virtual ~CameraBackend() = default;

    // The descriptions of the video inputs, as the system gives them, in the
    // order it lists them. The position in the list is the input's index.
    virtual QStringList videoInputs() = 0;

    // Starts input index. Its frames reach onFrame on the GUI thread, at most
    // one every frameIntervalMs milliseconds, until stop(). Returns only when
    // the input runs (true) or has failed to start (false; then nothing is
    // left running and onFrame is never called). Starting stops any input
    // started before.
    virtual bool start(int index, int frameIntervalMs, FrameHandler onFrame) = 0;
    // Stops the running input; nothing when none runs.
    virtual void stop() = 0;
    // True while the started input delivers; false after stop() and after
    // the input failed (unplugged, taken by another program).
    virtual bool isRunning() const = 0;

    // The formats the running input offers (empty when none runs), the
    // position of the one in use in that list (-1 when not known), and the
    // switch to another of them (false when the input refused it).
    virtual QList<VideoFormat> videoFormats() const = 0;
    virtual int currentVideoFormat() const = 0;
    virtual bool applyVideoFormat(int index) = 0;
};
