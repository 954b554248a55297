#pragma once
// The source-selection dialog: the scanners SANE finds, one a line as
// vendor, model and device name, the current source preselected.

#include "SaneDevice.h"

#include <QDialog>
#include <QList>

class QListWidget;

class SaneSourceDialog : public QDialog {
    Q_OBJECT
public:
    SaneSourceDialog(const QList<SaneDeviceEntry>& devices, const QString& current,
                     QWidget* parent = nullptr);

    // The device name of the selected line; empty when none is selected.
    QString chosenName() const;

private:
    QListWidget* list_ = nullptr;
};
