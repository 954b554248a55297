#include "FormWebCam.h"
#include "QtCameraBackend.h"
#include "TestEnvironment.h"
#include "TestRegistry.h"

#include <QTest>

// The program's own camera on a machine without one: the webcam window
// must say that there is none, and nothing may be started.
class TestQtCameraBackend : public QObject {
    Q_OBJECT
private slots:
    void withoutWebCam();
};

void TestQtCameraBackend::withoutWebCam()
{
    QtCameraBackend camera;
    if (!camera.videoInputs().isEmpty())
        QSKIP("this machine has a webcam");

    bool called = false;
    QVERIFY(!camera.start(0, 66, [&](const QImage&) { called = true; }));
    QVERIFY(!camera.isRunning());
    QVERIFY(camera.videoFormats().isEmpty());
    QCOMPARE(camera.currentVideoFormat(), -1);
    QVERIFY(!camera.applyVideoFormat(0));
    camera.stop();

    TestEnvironment env;
    Services services = env.services();
    Services real{services.settings, services.dialogs, services.scanner, camera, services.folders};
    FormWebCam window(real);
    QVERIFY(window.NoCam);
    QCOMPARE(env.dialogs().messages.size(), 1);
    QCOMPARE(env.dialogs().messages.first().text,
             QStringLiteral("Sembra non esserci alcuna WebCam installata.\r\nControllare la configurazione"));
    QVERIFY(!window.Run());
    QVERIFY(!called);
}

RITRAX_TEST(TestQtCameraBackend)
#include "tst_qtcamerabackend.moc"
