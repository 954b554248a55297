#pragma once
// Builds a ScannerPage out of the bytes sane_read delivers, frame by frame:
// one GRAY or RGB frame, or the RED, GREEN and BLUE frames of a three-pass
// scanner in any order. Samples of 16 bits are taken down to 8, 1-bit
// lineart is spread to black and white bytes, and a frame of unknown height
// (lines = -1, a hand scanner) simply grows with every row that arrives.

#include "ScannerPage.h"

#include <sane/sane.h>

#include <cstddef>
#include <vector>

// Turns one row of SANE samples into 8-bit samples. samplesPerPixel is 3 for
// an RGB frame and 1 otherwise; out receives pixels * samplesPerPixel bytes.
// With depth 1 the leftmost sample is the byte's highest bit; for lineart
// (a GRAY frame of depth 1) a set bit is black, in every other case it is
// full intensity. 16-bit samples are in the machine's byte order.
void ConvertSaneRow(const unsigned char* row, int pixels, int samplesPerPixel, int depth,
                    bool lineart, unsigned char* out);

class SaneFrameAssembler {
public:
    // False when the frame cannot be taken (unknown format or depth, rows
    // shorter than their pixels, or a frame that does not match the earlier
    // ones); the assembler is then unusable for this page.
    bool beginFrame(const SANE_Parameters& parameters);
    // Any amount of the frame's bytes; rows may be split between calls.
    // Bytes beyond the frame's declared lines are ignored. Throws
    // std::bad_alloc when the page no longer fits in memory.
    void append(const unsigned char* data, std::size_t length);
    // A partial last row is dropped.
    void endFrame();

    // Every frame the page needs has arrived, with at least one row.
    bool isComplete() const;
    // Bytes all frames of the page will hold, or -1 while that is unknown.
    long long expectedBytes() const { return expectedBytes_; }
    // Rows of the current frame so far.
    int rowsInFrame() const { return row_; }

    // The page (empty unless isComplete()); the assembler is left empty.
    ScannerPage takePage(double dpi);

private:
    void storeRow(const unsigned char* row);

    SANE_Parameters frame_{};
    bool inFrame_ = false;
    bool failed_ = false;
    int width_ = 0;
    int channels_ = 0;   // of the page: 1 or 3
    unsigned planes_ = 0; // bit 0 red, 1 green, 2 blue; 7 for an RGB frame
    int height_ = 0;
    int row_ = 0;
    long long expectedBytes_ = -1;
    std::vector<unsigned char> pending_; // a row split between append calls
    std::vector<unsigned char> converted_;
    std::vector<unsigned char> pixels_;
};
