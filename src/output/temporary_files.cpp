#include "zorm/temporary_files.h"

#include <unistd.h>

#include <atomic>
#include <cstring>

namespace zorm {

bool TemporaryFiles::add(const std::string& path) {
  if (path.size() >= PATH_SIZE) return false;
  for (Slot& slot : slots_) {
    if (slot.used != 0) continue;
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    // The path is complete before a handler can see the slot in use.
    std::atomic_signal_fence(std::memory_order_seq_cst);
    slot.used = 1;
    return true;
  }
  return false;
}

void TemporaryFiles::forget(const std::string& path) {
  for (Slot& slot : slots_) {
    if (slot.used != 0 && path == slot.path) {
      slot.used = 0;
      std::atomic_signal_fence(std::memory_order_seq_cst);
    }
  }
}

void TemporaryFiles::remove_all() const {
  for (const Slot& slot : slots_) {
    if (slot.used != 0) ::unlink(slot.path);
  }
}

}  // namespace zorm
