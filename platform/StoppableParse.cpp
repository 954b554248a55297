#include "StoppableParse.h"

#include <csetjmp>
#include <cstdlib>
#include <new>

// Each block the parser asks for sits behind a header linking it to the
// others, so that a parse left half way can still be freed whole.
struct alignas(std::max_align_t) BlockHeader {
    BlockHeader* previous;
    BlockHeader* next;
};

struct StoppableParse::Arena {
    const std::atomic_bool* stop;
    std::jmp_buf escape;
    BlockHeader blocks; // the ring of live blocks
    GumboOptions options;
};

namespace {

// The C parser is left by a jump: no frame between here and the setjmp of
// Parse has anything to destroy.
[[noreturn]] void Leave(StoppableParse::Arena& arena)
{
    std::longjmp(arena.escape, 1);
}

void* Allocate(void* userdata, size_t size)
{
    auto& arena = *static_cast<StoppableParse::Arena*>(userdata);
    if (arena.stop && arena.stop->load(std::memory_order_relaxed))
        Leave(arena);
    auto* header = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + size));
    if (!header)
        Leave(arena); // gumbo would not survive a null block either
    header->previous = arena.blocks.previous;
    header->next = &arena.blocks;
    arena.blocks.previous->next = header;
    arena.blocks.previous = header;
    return header + 1;
}

void Deallocate(void*, void* block)
{
    if (!block)
        return;
    BlockHeader* header = static_cast<BlockHeader*>(block) - 1;
    header->previous->next = header->next;
    header->next->previous = header->previous;
    std::free(header);
}

GumboOutput* Parse(StoppableParse::Arena* arena, const char* utf8, std::size_t size)
{
    if (setjmp(arena->escape) != 0)
        return nullptr;
    return gumbo_parse_with_options(&arena->options, utf8, size);
}

} // namespace

StoppableParse::StoppableParse(const std::atomic_bool* stop)
    : arena_(new Arena)
{
    arena_->stop = stop;
    arena_->blocks = {&arena_->blocks, &arena_->blocks};
    arena_->options = kGumboDefaultOptions;
    arena_->options.max_errors = 0;
    arena_->options.allocator = Allocate;
    arena_->options.deallocator = Deallocate;
    arena_->options.userdata = arena_;
}

StoppableParse::~StoppableParse()
{
    // Freeing every live block is gumbo_destroy_output and more: it also
    // covers a parse that was left half way.
    while (arena_->blocks.next != &arena_->blocks)
        Deallocate(nullptr, arena_->blocks.next + 1);
    delete arena_;
}

const GumboOutput* StoppableParse::run(const char* utf8, std::size_t size)
{
    return Parse(arena_, utf8, size);
}
