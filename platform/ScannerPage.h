#pragma once
// A scanned page as the scanner layer holds it between the last row read and
// the file written, and the writing of it as a Windows bitmap.

#include <QString>

#include <cstddef>
#include <vector>

struct ScannerPage {
    int width = 0;
    int height = 0;
    int channels = 0; // 1: grey levels, 3: red, green, blue
    double dpi = 0.0; // 0 when the device did not say
    // Rows from the top, width * channels bytes each, no padding.
    std::vector<unsigned char> pixels;

    std::size_t rowBytes() const { return static_cast<std::size_t>(width) * channels; }
    bool isValid() const
    {
        return width > 0 && height > 0 && (channels == 1 || channels == 3)
            && pixels.size() == rowBytes() * static_cast<std::size_t>(height);
    }
};

// Writes the page at path as a Windows bitmap: 24-bit colour, or 8-bit with a
// grey palette, the resolution in the header. The file is written whole or
// not at all: a temporary file in the target folder is renamed over path
// only once it is complete, so a failure leaves an existing file as it was.
bool WriteScannerBitmap(const ScannerPage& page, const QString& path);
