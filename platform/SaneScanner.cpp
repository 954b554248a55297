#include "SaneScanner.h"

#include "OperatorDialogs.h"
#include "SaneChoices.h"
#include "SaneScanDialog.h"
#include "SaneSourceDialog.h"
#include "SettingsStore.h"

#include <sane/sane.h>

#include <QApplication>
#include <QCursor>

#include <pthread.h>

#include <mutex>

namespace {

// sane_init and sane_exit belong to the process, not to one scanner object:
// SANE is started by the first user and shut down by the last.
int saneUsers = 0;
bool saneRunning = false;

// A wait cursor while SANE looks for devices or a file is written; both
// can take seconds.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Backends stop their reader threads with an asynchronous pthread_cancel,
// and the readers end with pthread_exit. The first thread to exit or be
// cancelled in a process makes the C library load its unwinder, under the
// dynamic loader's lock; a reader cancelled right then dies in the middle
// of it, and the next plugin or symbol lookup (a Qt style drawing an icon
// after the scan) waits for that lock for ever. One thread ended here,
// before any backend runs, does that loading out of harm's way.
void LoadThreadUnwinder()
{
    static std::once_flag once;
    std::call_once(once, [] {
        pthread_t thread;
        if (pthread_create(&thread, nullptr, [](void*) -> void* { pthread_exit(nullptr); }, nullptr) == 0)
            pthread_join(thread, nullptr);
    });
}

} // namespace

SaneScanner::SaneScanner(SettingsStore& settings, OperatorDialogs& dialogs)
    : settings_(settings)
    , dialogs_(dialogs)
{
}

SaneScanner::~SaneScanner()
{
    if (started_ && --saneUsers == 0 && saneRunning) {
        sane_exit();
        saneRunning = false;
    }
}

bool SaneScanner::startSane()
{
    if (!started_) {
        started_ = true;
        ++saneUsers;
    }
    if (!saneRunning) {
        LoadThreadUnwinder();
        SANE_Int version = 0;
        saneRunning = sane_init(&version, nullptr) == SANE_STATUS_GOOD;
    }
    return saneRunning;
}

QList<SaneDeviceEntry> SaneScanner::devices()
{
    QList<SaneDeviceEntry> list;
    if (!startSane())
        return list;
    const WaitCursor wait;
    const SANE_Device** found = nullptr;
    if (sane_get_devices(&found, SANE_FALSE) != SANE_STATUS_GOOD || !found)
        return list;
    for (const SANE_Device** d = found; *d; ++d) {
        if (!(*d)->name)
            continue;
        list.append({QString::fromUtf8((*d)->name), QString::fromUtf8((*d)->vendor),
                     QString::fromUtf8((*d)->model)});
    }
    return list;
}

std::optional<SaneDeviceEntry> SaneScanner::SourceAmong(const QList<SaneDeviceEntry>& devices,
                                                        const QString& remembered)
{
    for (const SaneDeviceEntry& d : devices)
        if (d.name == remembered)
            return d;
    if (devices.isEmpty())
        return std::nullopt;
    return devices.first();
}

std::optional<SaneDeviceEntry> SaneScanner::currentSource()
{
    return SourceAmong(devices(), settings_.read(SettingsKey));
}

void SaneScanner::TWAIN_SelectImageSource(QWidget* parent)
{
    const QList<SaneDeviceEntry> found = devices();
    if (found.isEmpty()) {
        dialogs_.showMessage(parent, NoDeviceText, MessageIcon::Warning);
        return;
    }
    const std::optional<SaneDeviceEntry> current = SourceAmong(found, settings_.read(SettingsKey));
    SaneSourceDialog dialog(found, current ? current->name : QString(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString chosen = dialog.chosenName();
    if (!chosen.isEmpty())
        settings_.write(SettingsKey, chosen);
}

int SaneScanner::TWAIN_AcquireToFilename(QWidget* parent, const QString& path)
{
    const std::optional<SaneDeviceEntry> source = currentSource();
    if (!source) {
        dialogs_.showMessage(parent, NoDeviceText, MessageIcon::Warning);
        return NoDevice;
    }
    SaneDevice device;
    const SANE_Status opened = device.open(source->name);
    if (opened != SANE_STATUS_GOOD) {
        dialogs_.showMessage(parent,
                             QStringLiteral("Impossibile usare lo scanner %1: %2.")
                                 .arg(source->caption(), SaneChoices::StatusText(opened)),
                             MessageIcon::Warning);
        return Failed;
    }

    ScannerPage page;
    {
        SaneScanDialog dialog(device, *source, dialogs_, parent);
        if (dialog.exec() != QDialog::Accepted)
            return Cancelled;
        page = dialog.takePage();
    }

    bool written = false;
    {
        const WaitCursor wait;
        written = WriteScannerBitmap(page, path);
    }
    if (!written) {
        dialogs_.showMessage(parent,
                             QStringLiteral("Impossibile scrivere l'immagine acquisita nel file %1.")
                                 .arg(path),
                             MessageIcon::Critical);
        return Failed;
    }
    return Acquired;
}
