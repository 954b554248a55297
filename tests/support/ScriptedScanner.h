#pragma once
// A scanner that answers from a script: each acquisition takes the next
// queued result, copying a prepared picture file to the requested path for
// a success.

#include "ScannerLayer.h"

#include <QString>
#include <QStringList>

#include <deque>

class ScriptedScanner final : public ScannerLayer {
public:
    // The next acquisition writes a copy of pictureFile and returns 0.
    void queuePage(const QString& pictureFile) { results_.push_back(pictureFile); }
    // The next acquisition returns non-zero and writes nothing.
    void queueNothing() { results_.push_back(QString()); }

    int TWAIN_AcquireToFilename(QWidget* parent, const QString& path) override;
    void TWAIN_SelectImageSource(QWidget* parent) override;

    QStringList acquiredPaths; // every path asked for, in order
    int selections = 0;

private:
    std::deque<QString> results_;
};
