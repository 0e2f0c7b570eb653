#include "lsp/positions.h"

#include <algorithm>

namespace zorm::lsp {

namespace {

// Length of the UTF-8 sequence starting at text[at] and the UTF-16 code units
// it stands for; an invalid byte is a sequence of one byte and one unit.
struct Sequence {
  size_t bytes;
  size_t utf16_units;
};

Sequence sequence_at(std::string_view text, size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  size_t length = 0;
  if (lead < 0x80) return {1, 1};
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  else return {1, 1};
  if (at + length > text.size()) return {1, 1};
  for (size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return {1, 1};
  }
  return {length, length == 4 ? 2u : 1u};
}

// Bytes from the start of line that make up units code units (stopping at
// the line's end; a unit inside a surrogate pair rounds up to the pair's end).
size_t bytes_for_units(std::string_view line, size_t units, PositionEncoding encoding) {
  if (encoding == PositionEncoding::utf8) return std::min(units, line.size());
  size_t at = 0;
  size_t counted = 0;
  while (at < line.size() && counted < units) {
    const Sequence sequence = sequence_at(line, at);
    at += sequence.bytes;
    counted += sequence.utf16_units;
  }
  return at;
}

bool kept_by_assembler(char c) { return c == '\t' || static_cast<unsigned char>(c) >= 0x20; }

}  // namespace

size_t raw_column(std::string_view line, size_t assembler_column) {
  size_t kept = 0;
  size_t at = 0;
  for (; at < line.size() && kept < assembler_column; ++at) {
    if (kept_by_assembler(line[at])) ++kept;
  }
  return kept < assembler_column ? line.size() + (assembler_column - kept) : at;
}

size_t assembler_column(std::string_view line, size_t raw_column) {
  const size_t end = std::min(raw_column, line.size());
  return static_cast<size_t>(std::count_if(line.begin(), line.begin() + static_cast<long>(end), kept_by_assembler));
}

size_t units_of(std::string_view text, PositionEncoding encoding) {
  if (encoding == PositionEncoding::utf8) return text.size();
  size_t units = 0;
  for (size_t at = 0; at < text.size();) {
    const Sequence sequence = sequence_at(text, at);
    at += sequence.bytes;
    units += sequence.utf16_units;
  }
  return units;
}

LineIndex::LineIndex(std::string_view text) : text_(text) {
  starts_.push_back(0);
  for (size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1)) {
    starts_.push_back(at + 1);
  }
}

size_t LineIndex::line_start(size_t line) const { return line < starts_.size() ? starts_[line] : text_.size(); }

std::string_view LineIndex::line_text(size_t line) const {
  if (line >= starts_.size()) return {};
  const size_t start = starts_[line];
  size_t end = line + 1 < starts_.size() ? starts_[line + 1] - 1 : text_.size();
  if (end > start && text_[end - 1] == '\r' && line + 1 < starts_.size()) --end;
  return text_.substr(start, end - start);
}

size_t LineIndex::line_of(size_t offset) const {
  const auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
  return static_cast<size_t>(after - starts_.begin()) - 1;
}

size_t LineIndex::offset_of(ProtocolPosition position, PositionEncoding encoding) const {
  if (position.line < 0) return 0;
  const auto line = static_cast<size_t>(position.line);
  if (line >= starts_.size()) return text_.size();
  const size_t units = position.character < 0 ? 0 : static_cast<size_t>(position.character);
  return starts_[line] + bytes_for_units(line_text(line), units, encoding);
}

ProtocolPosition LineIndex::position_of(size_t offset, PositionEncoding encoding) const {
  offset = std::min(offset, text_.size());
  const size_t line = line_of(offset);
  const std::string_view text = line_text(line);
  const size_t column = std::min(offset - starts_[line], text.size());
  return {static_cast<int>(line), static_cast<int>(units_of(text.substr(0, column), encoding))};
}

ProtocolPosition LineIndex::position_at(int line, size_t byte_column, PositionEncoding encoding) const {
  if (line < 1) return {0, 0};
  const auto index = static_cast<size_t>(line - 1);
  if (index >= starts_.size()) return position_of(text_.size(), encoding);
  const std::string_view text = line_text(index);
  const size_t column = std::min(raw_column(text, byte_column), text.size());
  return {line - 1, static_cast<int>(units_of(text.substr(0, column), encoding))};
}

ProtocolRange LineIndex::line_range(int line, PositionEncoding encoding) const {
  const ProtocolPosition start = position_at(line, 0, encoding);
  const ProtocolPosition end = position_at(line, text_.size(), encoding);
  return {start, end};
}

}  // namespace zorm::lsp
