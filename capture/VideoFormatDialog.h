#pragma once
// The choice of a webcam's video format: one line per format the input
// offers (size, frame rate, pixel encoding), the one in use preselected.

#include "CameraBackend.h"

#include <QDialog>

class QListWidget;

class VideoFormatDialog : public QDialog {
    Q_OBJECT
public:
    VideoFormatDialog(const QList<VideoFormat>& formats, int current, QWidget* parent = nullptr);

    // The position of the chosen format in the list given, -1 when none.
    int chosenIndex() const;

    QListWidget* list() const { return list_; }

    // "1280 × 720, 30 fotogrammi/s, YUYV"; a range of rates as "5-30", rates
    // with their decimals ("29,97"); parts not known are left out.
    static QString FormatText(const VideoFormat& format);

private:
    QListWidget* list_ = nullptr;
};
