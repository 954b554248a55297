#pragma once
// A webcam answered from a script: inputs with chosen descriptions, a frame
// of a known pattern sent when an input starts, a start that can be made
// to fail and formats to choose from. Every call is recorded.

#include "CameraBackend.h"

#include <QColor>

class ScriptedCamera final : public CameraBackend {
public:
    // What videoInputs() gives, descriptions as the system would write them.
    QStringList inputs;
    // Sent to the frame handler as soon as an input starts; a null picture
    // sends nothing.
    QImage frame = QuadrantFrame(320, 240);
    // Makes start() fail.
    bool failStart = false;
    // What the running input offers, the one in use, and whether a switch
    // is refused.
    QList<VideoFormat> formats;
    int currentFormat = -1;
    bool refuseFormat = false;

    // Called at every start, before it is answered.
    std::function<void(int index)> onStart;

    // Records.
    QList<int> startedIndexes;
    int lastFrameInterval = 0;
    int stopCalls = 0;
    QList<int> appliedFormats;

    // Sends a frame to the running input's handler, as a camera would.
    void sendFrame(const QImage& picture);
    // The input stops delivering, as when it is unplugged.
    void lose() { running_ = false; }

    // Four quadrants, red, green, blue and white from the top left in
    // reading order; an odd size gives the extra column and row to the
    // right and bottom quadrants.
    static QImage QuadrantFrame(int width, int height);
    static QColor QuadrantColor(bool right, bool bottom);

    QStringList videoInputs() override { return inputs; }
    bool start(int index, int frameIntervalMs, FrameHandler onFrame) override;
    void stop() override;
    bool isRunning() const override { return running_; }
    QList<VideoFormat> videoFormats() const override;
    int currentVideoFormat() const override { return running_ ? currentFormat : -1; }
    bool applyVideoFormat(int index) override;

private:
    bool running_ = false;
    FrameHandler onFrame_;
};
