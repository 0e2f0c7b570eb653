#pragma once
// Addresses to source lines and back, from the debug file's line records.
// Each record starts a statement; its bytes run up to the next record or to
// the first address the object file gives no byte for.

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "dbg/debug_info.h"
#include "dbg/object_file.h"

namespace zorm::dbg {

struct Statement {
  int file = 0;
  int line = 0;
  uint16_t start = 0;
  uint32_t end = 0;  // one past its last byte

  bool contains(uint16_t address) const { return address >= start && address < end; }
};

class SourceMap {
 public:
  SourceMap() = default;
  SourceMap(const std::vector<DebugLine>& lines, const ProgramImage& image);

  bool empty() const { return statements_.empty(); }
  // The statement whose bytes hold this address.
  std::optional<Statement> statement_at(uint16_t address) const;
  // Where the code of a line of one of these files starts: that line's, or
  // when it has none the first later line's of the same file that has code.
  // Gives the line found with the addresses (0 and none when there is none).
  std::pair<int, std::vector<uint16_t>> line_addresses(const std::vector<int>& files, int line) const;

 private:
  std::vector<Statement> statements_;                        // by ascending start
  std::map<std::pair<int, int>, std::vector<uint16_t>> by_line_;  // (file, line) -> starts
};

}  // namespace zorm::dbg
