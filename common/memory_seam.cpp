#include "common/memory_seam.h"

#include <atomic>
#include <new>

namespace {

std::atomic<int> ItemsAllowed{-1};  // negative: no limit

}  // namespace

void CheckMemoryForItem() {
  int allowed = ItemsAllowed.load();
  while (allowed >= 0) {
    if (allowed == 0) throw std::bad_alloc();
    if (ItemsAllowed.compare_exchange_weak(allowed, allowed - 1)) return;
  }
}

void RefuseItemsAfterForTests(int allowed) { ItemsAllowed.store(allowed < 0 ? -1 : allowed); }
