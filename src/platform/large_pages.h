#pragma once
// Large blocks that are about to be filled ask the kernel for 2 MiB pages: one page fault per
// 2 MiB instead of per 4 KiB, which otherwise costs more than filling the memory itself.
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace velk {

constexpr size_t kAdvisedFrom = size_t(4) << 20;

inline void AdviseLargePages(void* start, size_t size) {
  if (size < kAdvisedFrom) return;
  const uintptr_t page = uintptr_t(::sysconf(_SC_PAGESIZE));
  const uintptr_t begin = (uintptr_t(start) + page - 1) & ~(page - 1);
  const uintptr_t end = (uintptr_t(start) + size) & ~(page - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

// Blocks from 1 to 4 MiB are mapped on their own in whole 2 MiB pages, aligned to them: a 1 MP
// picture (3 MiB) would otherwise take 800 page faults, which cost more than decoding it
// whole; the heap's blocks are rarely aligned, so advice alone gives them none. At most one
// 2 MiB page is given to the rounding. Larger blocks keep the heap's block with advice: on a
// virtual machine whose host takes back free 2 MiB blocks, a fresh 2 MiB page can cost
// milliseconds, and a 24 MP photo's start-up then took twice its decode with every page large.
// Under AddressSanitizer they come from the heap, where an overflow is caught.
constexpr size_t kLargeBlockFrom = size_t(1) << 20;
constexpr size_t kLargePage = size_t(2) << 20;
inline bool MappedOnItsOwn(size_t size) { return size >= kLargeBlockFrom && size < kAdvisedFrom; }
inline size_t LargeBlockLength(size_t size) { return (size + kLargePage - 1) & ~(kLargePage - 1); }
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline void* MapLargeBlock(size_t size) { return std::calloc(size, 1); }
inline void UnmapLargeBlock(void* block, size_t) { std::free(block); }
#else
// A zeroed block of at least size bytes, or nullptr when there is no memory for it.
inline void* MapLargeBlock(size_t size) {
  const size_t length = LargeBlockLength(size);
  if (length < size || length + kLargePage < length) return nullptr;
  void* mapped = ::mmap(nullptr, length + kLargePage, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return nullptr;
  // The slack before and after the aligned part goes back at once.
  const uintptr_t start = uintptr_t(mapped), end = start + length + kLargePage;
  const uintptr_t aligned = (start + kLargePage - 1) & ~(kLargePage - 1);
  if (aligned > start) ::munmap(mapped, aligned - start);
  if (end > aligned + length) ::munmap(reinterpret_cast<void*>(aligned + length), end - aligned - length);
  ::madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}
inline void UnmapLargeBlock(void* block, size_t size) {
  if (block) ::munmap(block, LargeBlockLength(size));
}
#endif

// Pictures come and go in many sizes. By default the C library raises its threshold for
// mapping blocks of their own to the largest block freed, and then keeps later pictures in its
// heap, where the gaps they leave stay resident: a long walk through mixed files held 20 MiB
// more than it used. A fixed threshold gives every large block back to the system when freed.
inline void GiveLargeBlocksBack() { mallopt(M_MMAP_THRESHOLD, 256 * 1024); }

}  // namespace velk
