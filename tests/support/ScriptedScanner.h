#pragma once
// A scanner answered from a script: each acquisition takes the next queued
// result, either "write this picture file at the path and return 0" or
// "return this non-zero value and write nothing". Every call is counted and
// the paths asked for are kept.

#include "ScannerLayer.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

class ScriptedScanner final : public ScannerLayer {
public:
    // The next acquisition copies picturePath over the target and returns 0.
    void queuePicture(const QString& picturePath);
    // The next acquisition returns result (non-zero) and writes nothing.
    void queueFailure(int result = 1);

    // Called at every acquisition before it is answered, as if the scanner's
    // dialog were on screen.
    std::function<void()> onAcquire;

    int acquireCalls = 0;
    int selectCalls = 0;
    QStringList acquiredPaths;
    // Acquisitions that found nothing queued (answered with 1).
    int unanswered = 0;

    int TWAIN_AcquireToFilename(QWidget* parent, const QString& path) override;
    void TWAIN_SelectImageSource(QWidget* parent) override;

private:
    struct Answer {
        QString picture; // empty: fail with result
        int result = 1;
    };
    std::deque<Answer> answers_;
};
