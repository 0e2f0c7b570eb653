#include "dbg/source_map.h"

#include <algorithm>

namespace zorm::dbg {

SourceMap::SourceMap(const std::vector<DebugLine>& lines, const ProgramImage& image) {
  statements_.reserve(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    Statement statement{lines[i].file, lines[i].line, lines[i].address, 0x10000};
    if (i + 1 < lines.size() && lines[i + 1].address > lines[i].address) statement.end = lines[i + 1].address;
    // The statement's bytes stop where the object's bytes do.
    uint32_t end = statement.start;
    while (end < statement.end && image.used.test(end)) ++end;
    statement.end = std::max<uint32_t>(end, statement.start + 1u);
    statements_.push_back(statement);
    by_line_[{statement.file, statement.line}].push_back(statement.start);
  }
}

std::optional<Statement> SourceMap::statement_at(uint16_t address) const {
  auto after = std::upper_bound(statements_.begin(), statements_.end(), address,
                                [](uint16_t value, const Statement& statement) { return value < statement.start; });
  if (after == statements_.begin()) return std::nullopt;
  const Statement& statement = *(after - 1);
  if (!statement.contains(address)) return std::nullopt;
  return statement;
}

std::pair<int, std::vector<uint16_t>> SourceMap::line_addresses(const std::vector<int>& files, int line) const {
  int best_line = 0;
  for (int file : files) {
    auto found = by_line_.lower_bound({file, line});
    if (found == by_line_.end() || found->first.first != file) continue;
    if (best_line == 0 || found->first.second < best_line) best_line = found->first.second;
  }
  std::vector<uint16_t> addresses;
  if (best_line == 0) return {0, addresses};
  for (int file : files) {
    auto found = by_line_.find({file, best_line});
    if (found != by_line_.end()) addresses.insert(addresses.end(), found->second.begin(), found->second.end());
  }
  std::sort(addresses.begin(), addresses.end());
  return {best_line, addresses};
}

}  // namespace zorm::dbg
