#pragma once
// The program's way to a scanner: choose the device once, then acquire pages
// from it as Windows bitmaps. SaneScanner is the real one; tests hand the
// windows a scripted one.

class QString;
class QWidget;

class ScannerLayer {
public:
    virtual ~ScannerLayer() = default;
    // Shows the scan dialog of the chosen device over parent and writes the
    // page as a Windows bitmap at path. 0 when a page was written; any other
    // value means nothing was acquired (cancel, no device, failure) and path
    // was not touched. Returns only when its dialog has closed.
    virtual int TWAIN_AcquireToFilename(QWidget* parent, const QString& path) = 0;
    // Lets the operator choose the device later acquisitions use.
    virtual void TWAIN_SelectImageSource(QWidget* parent) = 0;
};
