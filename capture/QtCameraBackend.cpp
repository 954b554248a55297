#include "QtCameraBackend.h"

#include <QCamera>
#include <QCameraFormat>
#include <QEventLoop>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QTimer>
#include <QVideoFrame>
#include <QVideoFrameFormat>
#include <QVideoSink>

namespace {

VideoFormat ToVideoFormat(const QCameraFormat& format)
{
    return {format.resolution().width(), format.resolution().height(), format.minFrameRate(),
            format.maxFrameRate(), QVideoFrameFormat::pixelFormatToString(format.pixelFormat())};
}

} // namespace

QtCameraBackend::QtCameraBackend(QObject* parent)
    : QObject(parent)
{
    watchdog_.setInterval(StallMs / 4);
    connect(&watchdog_, &QTimer::timeout, this, &QtCameraBackend::checkStalled);
}

QtCameraBackend::~QtCameraBackend()
{
    stop();
}

QStringList QtCameraBackend::videoInputs()
{
    QStringList names;
    for (const QCameraDevice& device : QMediaDevices::videoInputs())
        names << device.description();
    return names;
}

bool QtCameraBackend::start(int index, int frameIntervalMs, FrameHandler onFrame)
{
    stop();
    const QList<QCameraDevice> devices = QMediaDevices::videoInputs();
    if (index < 0 || index >= devices.size())
        return false;
    device_ = devices.at(index);
    if (!startDevice(QCameraFormat())) {
        stop();
        return false;
    }
    onFrame_ = std::move(onFrame);
    frameIntervalMs_ = frameIntervalMs;
    sinceLastFrame_.invalidate();
    restarts_ = 0;
    watchdog_.start();
    return true;
}

bool QtCameraBackend::startDevice(const QCameraFormat& format)
{
    if (!session_) {
        session_ = std::make_unique<QMediaCaptureSession>();
        sink_ = std::make_unique<QVideoSink>();
        session_->setVideoSink(sink_.get());
        connect(sink_.get(), &QVideoSink::videoFrameChanged, this, &QtCameraBackend::takeFrame);
    }
    failed_ = false;
    // Not silent before it has sent anything; this also keeps the watchdog
    // from acting again while the camera starts.
    sinceAnyFrame_.invalidate();
    camera_ = std::make_unique<QCamera>(device_);
    if (!format.isNull())
        camera_->setCameraFormat(format);
    session_->setCamera(camera_.get());
    connect(camera_.get(), &QCamera::errorOccurred, this, [this] { failed_ = true; });

    // The camera starts in the background; wait, handling events, until it
    // runs, fails or takes too long.
    QEventLoop loop;
    connect(camera_.get(), &QCamera::activeChanged, &loop, &QEventLoop::quit);
    connect(camera_.get(), &QCamera::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(StartTimeoutMs, &loop, &QEventLoop::quit);
    camera_->start();
    if (!camera_->isActive() && camera_->error() == QCamera::NoError && !failed_)
        loop.exec();
    return camera_->isActive() && !failed_ && camera_->error() == QCamera::NoError;
}

void QtCameraBackend::stop()
{
    watchdog_.stop();
    onFrame_ = nullptr;
    if (!camera_)
        return;
    camera_->stop();
    session_->setCamera(nullptr);
    camera_.reset();
    device_ = QCameraDevice();
}

void QtCameraBackend::checkStalled()
{
    // Only a camera that has sent frames and then stopped: a camera may
    // take seconds for its first frame.
    // A camera that failed (unplugged, taken by another program) stays
    // failed, as isRunning() reports.
    if (!camera_ || !onFrame_ || failed_ || !sinceAnyFrame_.isValid() || sinceAnyFrame_.elapsed() < StallMs)
        return;
    // A new pipeline: the old one may be waiting for a time its source
    // has run ahead to (a source not paced by the clock, behind the
    // preview's one-frame queue that drops what the display cannot take).
    const QCameraFormat format = camera_->cameraFormat();
    camera_->stop();
    session_->setCamera(nullptr);
    camera_.reset();
    session_.reset();
    sink_.reset();
    ++restarts_;
    if (!startDevice(format)) {
        failed_ = true;
        watchdog_.stop();
    }
}

bool QtCameraBackend::isRunning() const
{
    return camera_ && camera_->isActive() && !failed_;
}

QList<VideoFormat> QtCameraBackend::videoFormats() const
{
    QList<VideoFormat> formats;
    if (!isRunning())
        return formats;
    for (const QCameraFormat& format : device_.videoFormats())
        formats << ToVideoFormat(format);
    return formats;
}

int QtCameraBackend::currentVideoFormat() const
{
    if (!isRunning())
        return -1;
    return static_cast<int>(device_.videoFormats().indexOf(camera_->cameraFormat()));
}

bool QtCameraBackend::applyVideoFormat(int index)
{
    if (!isRunning())
        return false;
    const QList<QCameraFormat> formats = device_.videoFormats();
    if (index < 0 || index >= formats.size())
        return false;
    camera_->setCameraFormat(formats.at(index));
    return camera_->cameraFormat() == formats.at(index) && !failed_;
}

void QtCameraBackend::takeFrame(const QVideoFrame& frame)
{
    if (!onFrame_ || !frame.isValid())
        return;
    sinceAnyFrame_.start();
    // Frames closer together than the preview rate are skipped: turning
    // each into a picture costs more than the preview gains.
    if (sinceLastFrame_.isValid() && sinceLastFrame_.elapsed() < frameIntervalMs_)
        return;
    const QImage picture = frame.toImage();
    if (picture.isNull())
        return;
    sinceLastFrame_.start();
    onFrame_(picture);
}
