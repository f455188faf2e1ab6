#pragma once
// Large blocks that are about to be filled ask the kernel for 2 MiB pages: one page fault per
// 2 MiB instead of per 4 KiB, which otherwise costs more than filling the memory itself.
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

namespace velk {

inline void AdviseLargePages(void* start, size_t size) {
  constexpr size_t kWorthIt = size_t(4) << 20;
  if (size < kWorthIt) return;
  const uintptr_t page = uintptr_t(::sysconf(_SC_PAGESIZE));
  const uintptr_t begin = (uintptr_t(start) + page - 1) & ~(page - 1);
  const uintptr_t end = (uintptr_t(start) + size) & ~(page - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

// Pictures come and go in many sizes. By default the C library raises its threshold for
// mapping blocks of their own to the largest block freed, and then keeps later pictures in its
// heap, where the gaps they leave stay resident: a long walk through mixed files held 20 MiB
// more than it used. A fixed threshold gives every large block back to the system when freed.
inline void GiveLargeBlocksBack() { mallopt(M_MMAP_THRESHOLD, 256 * 1024); }

}  // namespace velk
