#pragma once
// The scanner layer over SANE (libsane). SANE is started the first time a
// scanner is needed and shut down when the last SaneScanner goes. The chosen
// device is remembered under the settings key "Scanner"; without a choice,
// or when the remembered device is no longer there, the first device SANE
// lists is used.

#include "SaneDevice.h"
#include "ScannerLayer.h"

#include <QList>

#include <optional>

class OperatorDialogs;
class SettingsStore;

class SaneScanner final : public ScannerLayer {
public:
    // What TWAIN_AcquireToFilename returns.
    enum Result { Acquired = 0, Cancelled = 1, NoDevice = 2, Failed = 3 };

    static inline const QString SettingsKey = QStringLiteral("Scanner");
    static inline const QString NoDeviceText = QStringLiteral(
        "Nessuno scanner trovato.\nControllare che lo scanner sia collegato e acceso.");

    SaneScanner(SettingsStore& settings, OperatorDialogs& dialogs);
    ~SaneScanner() override;
    SaneScanner(const SaneScanner&) = delete;
    SaneScanner& operator=(const SaneScanner&) = delete;

    int TWAIN_AcquireToFilename(QWidget* parent, const QString& path) override;
    void TWAIN_SelectImageSource(QWidget* parent) override;

    // The devices SANE finds now.
    QList<SaneDeviceEntry> devices();
    // The device acquisitions use, or nothing when there is none.
    std::optional<SaneDeviceEntry> currentSource();

private:
    bool startSane();
    static std::optional<SaneDeviceEntry> SourceAmong(const QList<SaneDeviceEntry>& devices,
                                                      const QString& remembered);

    SettingsStore& settings_;
    OperatorDialogs& dialogs_;
    bool started_ = false;
};
