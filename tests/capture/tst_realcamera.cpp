#include "CaptureWindow.h"
#include "FormWebCam.h"
#include "QtCameraBackend.h"
#include "TestEnvironment.h"
#include "TestRegistry.h"
#include "modWebCam.h"

#include <QTest>

// The real camera path, Qt Multimedia over GStreamer, with the two test
// cameras of tests/testcamera: each draws a ball moving over a background
// of its own colour. The suite runs this class with GST_PLUGIN_PATH set
// (ctest's "capture-cameras"); by hand:
//   GST_PLUGIN_PATH=$PWD/tests/gst-plugins tests/tst_capture -class TestRealCamera

namespace {

const QString FirstCamera = QStringLiteral("Camera di prova");
const QString SecondCamera = QStringLiteral("Camera di prova 2");
const QString NotLiveCamera = QStringLiteral("Camera di prova non in diretta");
const QColor FirstBackground(0, 0, 128);
const QColor SecondBackground(0, 128, 0);

// Waits for frames are bounded generously: a camera that stops sending
// fails the test instead of hanging it, and a slow machine still passes.
constexpr int FrameWaitMs = 15000;

bool Near(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 40;
}

// What a camera sent: how many frames, how many differed from the one
// before (the ball moves, so a live camera keeps changing), and the last.
struct FrameLog {
    int frames = 0;
    int changes = 0;
    QImage last;

    CameraBackend::FrameHandler handler()
    {
        return [this](const QImage& frame) {
            ++frames;
            if (!last.isNull() && frame != last)
                ++changes;
            last = frame;
        };
    }
};

int IndexOf(QtCameraBackend& camera, const QString& name)
{
    return modWebCam::FindDriver(modWebCam::CaptureDriverNames(camera), name);
}

} // namespace

class TestRealCamera : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void liveFrames_data();
    void liveFrames();
    void formatChange_data();
    void formatChange();
    void sourceAheadOfTheClockKeepsMoving();
    void stillFromTheChosenWebCam_data();
    void stillFromTheChosenWebCam();
};

void TestRealCamera::initTestCase()
{
    QtCameraBackend camera;
    if (IndexOf(camera, SecondCamera) < 0)
        QSKIP("the test cameras are not loaded: GST_PLUGIN_PATH must name tests/gst-plugins");
    // Listed with its blanks, found without them.
    QVERIFY(camera.videoInputs().contains(QStringLiteral("  Camera di prova  ")));
    QVERIFY(IndexOf(camera, FirstCamera) >= 0);
}

void TestRealCamera::liveFrames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QColor>("background");
    QTest::newRow("first") << FirstCamera << FirstBackground;
    QTest::newRow("second") << SecondCamera << SecondBackground;
}

void TestRealCamera::liveFrames()
{
    QFETCH(QString, name);
    QFETCH(QColor, background);
    QtCameraBackend camera;
    FrameLog log;
    QVERIFY(camera.start(IndexOf(camera, name), modWebCam::PreviewRate, log.handler()));
    QTRY_VERIFY_WITH_TIMEOUT(log.changes >= 3, FrameWaitMs);
    QVERIFY(Near(log.last.pixelColor(2, 2), background));
    QCOMPARE(camera.restarts(), 0); // a live camera is never taken for a silent one
    camera.stop();
    const int frames = log.frames;
    QTest::qWait(200);
    QCOMPARE(log.frames, frames); // nothing after the stop
}

void TestRealCamera::formatChange_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("1280 x 720") << QSize(1280, 720);
    QTest::newRow("320 x 240") << QSize(320, 240);
}

void TestRealCamera::formatChange()
{
    QFETCH(QSize, size);
    QtCameraBackend camera;
    FrameLog log;
    QVERIFY(camera.start(IndexOf(camera, FirstCamera), modWebCam::PreviewRate, log.handler()));
    const QList<VideoFormat> formats = camera.videoFormats();
    QCOMPARE(formats.size(), 4);
    int chosen = -1;
    for (int i = 0; i < formats.size(); ++i)
        if (QSize(formats[i].width, formats[i].height) == size)
            chosen = i;
    QVERIFY(chosen >= 0);
    QTRY_VERIFY_WITH_TIMEOUT(log.frames > 0, FrameWaitMs);

    QVERIFY(camera.applyVideoFormat(chosen));
    QCOMPARE(camera.currentVideoFormat(), chosen);
    // Frames of the new size, and still live.
    QTRY_VERIFY_WITH_TIMEOUT(log.last.size() == size, FrameWaitMs);
    const int changes = log.changes;
    QTRY_VERIFY_WITH_TIMEOUT(log.changes >= changes + 3, FrameWaitMs);
}

void TestRealCamera::sourceAheadOfTheClockKeepsMoving()
{
    // Its preview stops after a few frames, waiting for a time its source
    // has run far ahead to; the backend must notice and start it again.
    QtCameraBackend camera;
    FrameLog log;
    QVERIFY(camera.start(IndexOf(camera, NotLiveCamera), modWebCam::PreviewRate, log.handler()));
    QTRY_VERIFY_WITH_TIMEOUT(log.changes >= 40, 4 * FrameWaitMs);
    QVERIFY(camera.restarts() > 0);
    QVERIFY(camera.isRunning());
}

void TestRealCamera::stillFromTheChosenWebCam_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QColor>("background");
    QTest::newRow("second") << SecondCamera << SecondBackground;
    QTest::newRow("first, by its trimmed name") << FirstCamera << FirstBackground;
}

void TestRealCamera::stillFromTheChosenWebCam()
{
    QFETCH(QString, setting);
    QFETCH(QColor, background);
    const int settle = modWebCam::SettleMilliseconds;
    modWebCam::SettleMilliseconds = 0;
    TestEnvironment env;
    QtCameraBackend camera;
    Services services = env.services();
    const Services real{services.settings, services.dialogs, services.scanner, camera, services.folders};
    env.settings().write(QStringLiteral("WebCam"), setting);

    FormWebCam window(real);
    modWebCam::SettleMilliseconds = settle;
    QCOMPARE(window.windowTitle(), setting);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(camera.isRunning());
    QTRY_VERIFY_WITH_TIMEOUT(modWebCam::hHwnd && modWebCam::hHwnd->hasFrame(), FrameWaitMs);
    const QImage first = modWebCam::hHwnd->frame();
    QTRY_VERIFY_WITH_TIMEOUT(modWebCam::hHwnd->frame() != first, FrameWaitMs);

    window.OkP_Click();
    QVERIFY(env.dialogs().messages.isEmpty());
    const QImage still(services.folders.WorkFile(QStringLiteral("FILE.BMP")));
    QCOMPARE(still.size(), QSize(FormWebCam::StillWidth, FormWebCam::StillHeight));
    QVERIFY(Near(still.pixelColor(3, 3), background));
    QVERIFY(!camera.isRunning());
}

RITRAX_TEST(TestRealCamera)
#include "tst_realcamera.moc"
