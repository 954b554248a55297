#pragma once
// The routines that talk to the webcam: listing the inputs, starting the
// live picture of one of them in a capture window inside a preview area,
// stopping it, and the choice of its video format. One capture at a time,
// program-wide.

#include <QPointer>
#include <QStringList>

class CameraBackend;
class CaptureWindow;
class OperatorDialogs;
class QListWidget;
class QWidget;

namespace modWebCam {

// Milliseconds between two preview frames.
inline constexpr int PreviewRate = 66;
// Size of a new capture window before it is fitted to the preview area.
inline constexpr int InitialWidth = 320;
inline constexpr int InitialHeight = 240;

// The capture window of the capture in progress, null when there is none,
// and the index of the input it shows. Both keep their last values after a
// capture ends; they mean something only while the webcam window is open.
extern QPointer<CaptureWindow> hHwnd;
extern int CamIndex;
// How long a new capture window is left to settle before the input is
// connected. Tests shorten it.
extern int SettleMilliseconds;

// The inputs' descriptions with leading and trailing blanks removed, in
// the system's order: the position of a name is the input's index.
QStringList CaptureDriverNames(CameraBackend& camera);
// Clears list and fills it with CaptureDriverNames, so that an entry's row
// is its input's index.
void ListCaptureDrivers(CameraBackend& camera, QListWidget& list);

// The first position whose name equals name exactly (letter case counts);
// -1 when none does.
int FindDriver(const QStringList& names, const QString& name);

// Waits the given time measured on a monotonic clock, handling the
// program's pending events all the while.
void SettleWait(int milliseconds);

// Makes the capture window inside previewArea, lets it settle, connects
// input index and shows its live picture stretched over the inner area of
// previewArea. When the input does not start, says so over messageParent,
// destroys the capture window and gives false.
bool StartPreview(CameraBackend& camera, OperatorDialogs& dialogs, int index, QWidget& previewArea,
                  QWidget* messageParent);
// Disconnects the input and destroys the capture window.
void StopPreview(CameraBackend& camera);
// Offers the running input's video formats and switches to the one chosen.
void ShowFormatDialog(CameraBackend& camera, OperatorDialogs& dialogs, QWidget* parent);

} // namespace modWebCam
