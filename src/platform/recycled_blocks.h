#pragma once
// Browsing shows one picture after another, mostly of the same size. The memory of a picture
// just let go is kept for the next one: fresh memory costs a page fault per 4 KiB here (about
// 2 µs each, so 1.5 ms for a 1 MP picture, more than a third of decoding it). Only blocks
// below the size where 2 MiB pages take over, and only a few of them, are kept.
#include <cstddef>

namespace velk {

// A kept block of at least `size` bytes (and not much more), or nullptr. Its contents are
// whatever the last owner left; `capacity` gets its real size, to be handed back with it.
void* TakeRecycledBlock(size_t size, size_t* capacity);
// A kept block as above, or else a new malloc'ed one of `size` bytes (nullptr when there is no
// memory); its contents are undefined.
void* TakeBlock(size_t size, size_t* capacity);

// Takes a malloc'ed block back: kept for a later picture or freed.
void RecycleBlock(void* block, size_t capacity);

// Frees every kept block (the program going idle for long, or tests).
void DropRecycledBlocks();

}  // namespace velk
