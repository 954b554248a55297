#pragma once
// The scan dialog: the open device's mode, source, resolution and scan area
// as the device offers them, "Acquisisci" and "Annulla", and a progress bar
// while the page is read. The page is read on a worker thread (SaneScanJob)
// so that the dialog keeps painting and "Annulla" keeps working however long
// the scanner takes; the dialog itself touches the device only while no
// scan runs. Accepted when a page was read: takePage() then hands it over.

#include "SaneDevice.h"
#include "ScannerPage.h"

#include <QDialog>
#include <QTimer>

#include <array>
#include <memory>

class OperatorDialogs;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QThread;
class SaneScanJob;

class SaneScanDialog : public QDialog {
    Q_OBJECT
public:
    SaneScanDialog(SaneDevice& device, const SaneDeviceEntry& entry, OperatorDialogs& dialogs,
                   QWidget* parent = nullptr);
    ~SaneScanDialog() override;

    bool isScanning() const { return thread_ != nullptr; }
    ScannerPage takePage() { return std::move(page_); }

    // Cancels the scan when one runs (the dialog closes once the device has
    // stopped), otherwise closes the dialog.
    void reject() override;

private:
    struct Options {
        int mode = -1;
        int source = -1;
        int resolution = -1;
        std::array<int, 4> area{-1, -1, -1, -1}; // tl-x, tl-y, br-x, br-y
    };

    void buildWidgets(const SaneDeviceEntry& entry);
    void preselect();
    void loadFromDevice();
    void loadStringChoice(int option, QComboBox* combo, QString (*caption)(const QString&));
    void loadResolution();
    void loadArea();

    void setTextOption(int option, QComboBox* combo);
    void setResolution();
    void setAreaOption(int corner);
    void setFullArea();

    void startScan();
    void cancelScan();
    void scanFinished();
    void showProgress();
    void setScanning(bool scanning);

    SaneDevice& device_;
    OperatorDialogs& dialogs_;
    Options options_;

    QFormLayout* form_ = nullptr;
    QComboBox* modeCombo_ = nullptr;
    QComboBox* sourceCombo_ = nullptr;
    QComboBox* resolutionCombo_ = nullptr;
    QGroupBox* areaBox_ = nullptr;
    std::array<QDoubleSpinBox*, 4> areaSpins_{};
    QPushButton* fullAreaButton_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* scanButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;

    std::unique_ptr<SaneScanJob> job_;
    std::unique_ptr<QThread> thread_;
    QTimer progressTimer_;
    double dpi_ = 0.0;
    ScannerPage page_;
};
