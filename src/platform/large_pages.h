#pragma once
// Large blocks that are about to be filled ask the kernel for 2 MiB pages: one page fault per
// 2 MiB instead of per 4 KiB, which otherwise costs more than filling the memory itself.
// But only while the program is turning large blocks over (one taken or let go within the last
// second): a virtual machine may hand memory that stayed free for a while back to its host, and
// a 2 MiB page of it then costs milliseconds to get back, three times what its 4 KiB pages cost
// (bench/notes.md). Start-up and the first picture after an idle spell keep 4 KiB pages.
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace velk {

constexpr size_t kLargePagesWorthIt = size_t(4) << 20;

// Notes a large block taken or let go at `now`; whether the one before was within a second.
bool LargeBlocksTurnedOverLately(
    std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now());

inline void AdviseLargePages(void* start, size_t size) {
  if (size < kLargePagesWorthIt || !LargeBlocksTurnedOverLately()) return;
  const uintptr_t page = uintptr_t(::sysconf(_SC_PAGESIZE));
  const uintptr_t begin = (uintptr_t(start) + page - 1) & ~(page - 1);
  const uintptr_t end = (uintptr_t(start) + size) & ~(page - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

// Memory let go now is the machine's own for a while: the next large block may take 2 MiB pages.
inline void NoteLargeBlockFreed(size_t size) {
  if (size >= kLargePagesWorthIt) LargeBlocksTurnedOverLately();
}

// Pictures come and go in many sizes. By default the C library raises its threshold for
// mapping blocks of their own to the largest block freed, and then keeps later pictures in its
// heap, where the gaps they leave stay resident: a long walk through mixed files held 20 MiB
// more than it used. A fixed threshold gives every large block back to the system when freed.
inline void GiveLargeBlocksBack() { mallopt(M_MMAP_THRESHOLD, 256 * 1024); }

}  // namespace velk
