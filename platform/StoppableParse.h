#pragma once
// gumbo's parse of a page that another thread can stop: every allocation of
// the parser goes through an arena that first looks at the stop flag, and a
// stopped parse leaves at once with all its memory given back. A deeply
// nested page costs gumbo time growing with the square of its depth, so
// whoever waits for a page must be able to stop waiting and stop the work.
// The parse errors gumbo finds are not kept: nothing reads them, and each
// one would hold a copy of the stack of open elements.

#include <gumbo.h>

#include <atomic>
#include <cstddef>

class StoppableParse {
public:
    explicit StoppableParse(const std::atomic_bool* stop = nullptr);
    ~StoppableParse(); // the output goes with the parse
    StoppableParse(const StoppableParse&) = delete;
    StoppableParse& operator=(const StoppableParse&) = delete;

    // The parse of the UTF-8 text; nullptr when it was stopped or memory
    // ran out. Once per object.
    const GumboOutput* run(const char* utf8, std::size_t size);

    struct Arena;

private:
    Arena* arena_;
};
