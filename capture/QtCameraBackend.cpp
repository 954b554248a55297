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

    if (!session_) {
        session_ = std::make_unique<QMediaCaptureSession>();
        sink_ = std::make_unique<QVideoSink>();
        session_->setVideoSink(sink_.get());
        connect(sink_.get(), &QVideoSink::videoFrameChanged, this, &QtCameraBackend::takeFrame);
    }
    device_ = devices.at(index);
    failed_ = false;
    camera_ = std::make_unique<QCamera>(device_);
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

    if (!camera_->isActive() || failed_ || camera_->error() != QCamera::NoError) {
        stop();
        return false;
    }
    onFrame_ = std::move(onFrame);
    frameIntervalMs_ = frameIntervalMs;
    sinceLastFrame_.invalidate();
    return true;
}

void QtCameraBackend::stop()
{
    onFrame_ = nullptr;
    if (!camera_)
        return;
    camera_->stop();
    session_->setCamera(nullptr);
    camera_.reset();
    device_ = QCameraDevice();
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
