#include "SaneScanJob.h"

#include <new>
#include <vector>

namespace {
// Small enough that a cancel request is noticed quickly, large enough that
// a fast device is not slowed down by the calls.
constexpr SANE_Int ReadChunk = 64 * 1024;
} // namespace

SaneScanJob::SaneScanJob(SANE_Handle handle)
    : handle_(handle)
{
}

void SaneScanJob::run()
{
    Outcome outcome;
    try {
        outcome = readPage();
    } catch (const std::bad_alloc&) {
        outcome = stop(Outcome::Failed, SANE_STATUS_NO_MEM);
    }
    outcome_ = outcome;
}

SaneScanJob::Outcome SaneScanJob::stop(Outcome outcome, SANE_Status failure)
{
    // Ends the scan whatever state it is in; SANE also wants this after the
    // last frame of a complete page.
    sane_cancel(handle_);
    failure_ = failure;
    return outcome;
}

SaneScanJob::Outcome SaneScanJob::readPage()
{
    std::vector<SANE_Byte> buffer(ReadChunk);
    for (;;) {
        if (cancelRequested_)
            return stop(Outcome::Cancelled);
        SANE_Status status = sane_start(handle_);
        if (status != SANE_STATUS_GOOD)
            return cancelRequested_ ? stop(Outcome::Cancelled) : stop(Outcome::Failed, status);

        SANE_Parameters parameters{};
        status = sane_get_parameters(handle_, &parameters);
        if (status != SANE_STATUS_GOOD)
            return stop(Outcome::Failed, status);
        if (!assembler_.beginFrame(parameters))
            return stop(Outcome::Failed, SANE_STATUS_UNSUPPORTED);
        bytesExpected_ = assembler_.expectedBytes();

        for (;;) {
            if (cancelRequested_)
                return stop(Outcome::Cancelled);
            SANE_Int length = 0;
            status = sane_read(handle_, buffer.data(), ReadChunk, &length);
            if (status == SANE_STATUS_EOF)
                break;
            if (status != SANE_STATUS_GOOD)
                return cancelRequested_ ? stop(Outcome::Cancelled) : stop(Outcome::Failed, status);
            if (length > 0) {
                assembler_.append(buffer.data(), static_cast<std::size_t>(length));
                bytesRead_ += length;
                rows_ = assembler_.rowsInFrame();
            }
        }
        assembler_.endFrame();
        if (parameters.last_frame)
            break;
    }
    if (!assembler_.isComplete())
        return stop(Outcome::Failed, SANE_STATUS_EOF);
    return stop(Outcome::Completed);
}
