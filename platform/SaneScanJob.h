#pragma once
// One page read from an open device: sane_start, sane_get_parameters and
// sane_read for every frame, then sane_cancel. run() blocks as long as the
// scanner takes and is meant for a worker thread; the other members may be
// called from any thread meanwhile. While run() works, nobody else touches
// the device handle: a cancel request is seen between two reads and the
// job itself calls sane_cancel, because backends do not all take a
// sane_cancel from another thread in the middle of their read.

#include "SaneFrameAssembler.h"

#include <sane/sane.h>

#include <atomic>

class SaneScanJob {
public:
    enum class Outcome { Running, Completed, Cancelled, Failed };

    explicit SaneScanJob(SANE_Handle handle);

    void run();
    void requestCancel() { cancelRequested_ = true; }
    bool cancelRequested() const { return cancelRequested_; }

    Outcome outcome() const { return outcome_; }
    // Why the job failed (SANE_STATUS_NO_MEM when the page did not fit in
    // memory, SANE_STATUS_UNSUPPORTED for a frame format the assembler
    // cannot take).
    SANE_Status failure() const { return failure_; }

    // Progress: bytes read, and the bytes of the whole page or -1 while the
    // device does not say (hand scanners). rows() counts the current frame.
    long long bytesRead() const { return bytesRead_; }
    long long bytesExpected() const { return bytesExpected_; }
    int rows() const { return rows_; }

    // The page once outcome() is Completed.
    ScannerPage takePage(double dpi) { return assembler_.takePage(dpi); }

private:
    Outcome readPage();
    Outcome stop(Outcome outcome, SANE_Status failure = SANE_STATUS_GOOD);

    SANE_Handle handle_;
    SaneFrameAssembler assembler_;
    std::atomic<bool> cancelRequested_{false};
    std::atomic<Outcome> outcome_{Outcome::Running};
    std::atomic<SANE_Status> failure_{SANE_STATUS_GOOD};
    std::atomic<long long> bytesRead_{0};
    std::atomic<long long> bytesExpected_{-1};
    std::atomic<int> rows_{0};
};
