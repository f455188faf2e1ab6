#pragma once
// A list of untyped pointers whose items can be handed to a release callback, in order, when
// the list is cleared or goes away. The mixer model keeps its lines and controls in these.
#include <stdexcept>
#include <string>
#include <vector>

namespace velk {

// The general list-index error: an index outside 0 .. Count - 1.
class EListError : public std::out_of_range {
public:
  explicit EListError(int index)
      : std::out_of_range("List index out of bounds (" + std::to_string(index) + ")") {}
};

class TPointerList {
public:
  using ReleaseProc = void (*)(void* item, void* context);

  TPointerList() = default;
  TPointerList(ReleaseProc release, void* context) : release_(release), context_(context) {}
  ~TPointerList() { Clear(); }
  TPointerList(const TPointerList&) = delete;
  TPointerList& operator=(const TPointerList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  void* Items(int index) const {
    if (index < 0 || index >= Count()) throw EListError(index);
    return items_[index];
  }
  void Add(void* item) { items_.push_back(item); }
  void Clear() {
    std::vector<void*> items;
    items.swap(items_);
    if (release_)
      for (void* item : items) release_(item, context_);
  }

private:
  std::vector<void*> items_;
  ReleaseProc release_ = nullptr;
  void* context_ = nullptr;
};

}  // namespace velk
