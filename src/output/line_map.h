#pragma once

#include <cstdint>
#include <vector>

namespace zorm {

// Statement address to source line, for the debug information file.
struct LineMapEntry {
  uint32_t address;
  int32_t line;
  int32_t file_index;
};

class LineMap {
 public:
  // The first line recorded for an address wins.
  void add(uint32_t address, int32_t line, int32_t file_index);
  // The entries in ascending address order, one per address.
  const std::vector<LineMapEntry>& entries();
  void clear() { entries_.clear(); sorted_ = true; }

 private:
  std::vector<LineMapEntry> entries_;
  bool sorted_ = true;
};

}  // namespace zorm
