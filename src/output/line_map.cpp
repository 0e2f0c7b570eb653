#include "output/line_map.h"

#include <algorithm>

namespace zorm {

void LineMap::add(uint32_t address, int32_t line, int32_t file_index) {
  if (!entries_.empty() && address <= entries_.back().address) {
    if (address == entries_.back().address) return;  // the first line recorded wins
    sorted_ = false;
  }
  entries_.push_back({address, line, file_index});
}

const std::vector<LineMapEntry>& LineMap::entries() {
  if (!sorted_) {
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const LineMapEntry& a, const LineMapEntry& b) { return a.address < b.address; });
    auto last = std::unique(entries_.begin(), entries_.end(),
                            [](const LineMapEntry& a, const LineMapEntry& b) { return a.address == b.address; });
    entries_.erase(last, entries_.end());
    sorted_ = true;
  }
  return entries_;
}

}  // namespace zorm
