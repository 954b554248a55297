#include "ScriptedCamera.h"

#include <QPainter>

QColor ScriptedCamera::QuadrantColor(bool right, bool bottom)
{
    if (bottom)
        return right ? QColor(Qt::white) : QColor(Qt::blue);
    return right ? QColor(Qt::green) : QColor(Qt::red);
}

QImage ScriptedCamera::QuadrantFrame(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    const int half = width / 2;
    const int middle = height / 2;
    QPainter painter(&picture);
    painter.fillRect(0, 0, half, middle, QuadrantColor(false, false));
    painter.fillRect(half, 0, width - half, middle, QuadrantColor(true, false));
    painter.fillRect(0, middle, half, height - middle, QuadrantColor(false, true));
    painter.fillRect(half, middle, width - half, height - middle, QuadrantColor(true, true));
    return picture;
}

void ScriptedCamera::sendFrame(const QImage& picture)
{
    if (running_ && onFrame_)
        onFrame_(picture);
}

bool ScriptedCamera::start(int index, int frameIntervalMs, FrameHandler onFrame)
{
    stop();
    startedIndexes.append(index);
    lastFrameInterval = frameIntervalMs;
    if (onStart)
        onStart(index);
    if (failStart || index < 0 || index >= inputs.size())
        return false;
    running_ = true;
    onFrame_ = std::move(onFrame);
    if (!frame.isNull())
        sendFrame(frame);
    return true;
}

void ScriptedCamera::stop()
{
    ++stopCalls;
    running_ = false;
    onFrame_ = nullptr;
}

QList<VideoFormat> ScriptedCamera::videoFormats() const
{
    return running_ ? formats : QList<VideoFormat>();
}

bool ScriptedCamera::applyVideoFormat(int index)
{
    appliedFormats.append(index);
    if (!running_ || refuseFormat || index < 0 || index >= formats.size())
        return false;
    currentFormat = index;
    return true;
}
