#include "modWebCam.h"

#include "CameraBackend.h"
#include "CaptureWindow.h"
#include "OperatorDialogs.h"
#include "VideoFormatDialog.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QListWidget>
#include <QTimer>

namespace modWebCam {

QPointer<CaptureWindow> hHwnd;
int CamIndex = 0;
int SettleMilliseconds = 1000;

QStringList CaptureDriverNames(CameraBackend& camera)
{
    QStringList names = camera.videoInputs();
    for (QString& name : names)
        name = name.trimmed();
    return names;
}

void ListCaptureDrivers(CameraBackend& camera, QListWidget& list)
{
    list.clear();
    list.addItems(CaptureDriverNames(camera));
}

int FindDriver(const QStringList& names, const QString& name)
{
    return static_cast<int>(names.indexOf(name));
}

void SettleWait(int milliseconds)
{
    if (milliseconds <= 0) {
        QCoreApplication::processEvents();
        return;
    }
    // A timer on the monotonic clock: a change of the system time neither
    // stalls nor cuts the wait.
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

bool StartPreview(CameraBackend& camera, OperatorDialogs& dialogs, int index, QWidget& previewArea,
                  QWidget* messageParent)
{
    CamIndex = index;
    auto* window = new CaptureWindow(&previewArea);
    window->setObjectName(QString::number(index));
    window->setGeometry(0, 0, InitialWidth, InitialHeight);
    window->show();
    hHwnd = window;

    SettleWait(SettleMilliseconds);
    if (!hHwnd)
        return false; // the preview area went away while the window settled

    QPointer<CaptureWindow> target = window;
    const bool connected = camera.start(index, PreviewRate, [target](const QImage& frame) {
        if (target)
            target->setFrame(frame);
    });
    if (!connected) {
        dialogs.showMessage(messageParent, QStringLiteral("Errore su WM_CAP_DRIVER_CONNECT"), MessageIcon::None);
        delete hHwnd.data();
        return false;
    }
    window->setScale(true);
    window->resize(previewArea.contentsRect().size());
    return true;
}

void StopPreview(CameraBackend& camera)
{
    camera.stop();
    delete hHwnd.data();
}

void ShowFormatDialog(CameraBackend& camera, OperatorDialogs& dialogs, QWidget* parent)
{
    const QList<VideoFormat> formats = camera.isRunning() ? camera.videoFormats() : QList<VideoFormat>();
    if (formats.isEmpty()) {
        dialogs.showMessage(parent, QStringLiteral("La WebCam non offre formati video da scegliere."),
                            MessageIcon::Information);
        return;
    }
    const int current = camera.currentVideoFormat();
    VideoFormatDialog dialog(formats, current, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int chosen = dialog.chosenIndex();
    if (chosen < 0 || chosen == current)
        return;
    if (!camera.applyVideoFormat(chosen))
        dialogs.showMessage(parent, QStringLiteral("La WebCam non accetta il formato video scelto."),
                            MessageIcon::Warning);
}

} // namespace modWebCam
