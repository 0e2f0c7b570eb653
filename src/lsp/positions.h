#pragma once
// Positions: inside the server a place in a text is a byte offset, or a
// 1-based line with a byte column as the assembler reports it. The protocol
// counts 0-based lines and columns in UTF-16 code units, or in bytes when the
// client negotiated UTF-8. This is the one place that converts between them.

#include <cstddef>
#include <string_view>
#include <vector>

namespace zorm::lsp {

enum class PositionEncoding { utf16, utf8 };

// A position as the protocol states it.
struct ProtocolPosition {
  int line = 0;       // 0-based
  int character = 0;  // 0-based, in the negotiated units
  bool operator==(const ProtocolPosition&) const = default;
};

struct ProtocolRange {
  ProtocolPosition start;
  ProtocolPosition end;
  bool operator==(const ProtocolRange&) const = default;
};

// Code units of some UTF-8 text in an encoding. Bytes that are not valid
// UTF-8 count as one unit each (an editor shows each as a replacement
// character).
size_t units_of(std::string_view text, PositionEncoding encoding);

// The assembler drops the control bytes other than tab from the lines it
// reads, so its columns skip them. These convert between a byte offset in
// the raw line and the assembler's column.
size_t raw_column(std::string_view line, size_t assembler_column);
size_t assembler_column(std::string_view line, size_t raw_column);

// The line starts of one text. Lines end at a line feed; a carriage return
// before it is no part of the line. The text is not copied: it must outlive
// the index.
class LineIndex {
 public:
  explicit LineIndex(std::string_view text);

  std::string_view text() const { return text_; }
  // Lines in the text; a text ending in a line feed has an empty last line.
  size_t line_count() const { return starts_.size(); }
  size_t line_start(size_t line) const;  // 0-based line; past the last: the text's end
  // The line's text without its line end.
  std::string_view line_text(size_t line) const;
  // 0-based line holding a byte offset.
  size_t line_of(size_t offset) const;

  // Byte offset of a protocol position; a line past the end gives the
  // text's end, a column past the line's end gives the line's end.
  size_t offset_of(ProtocolPosition position, PositionEncoding encoding) const;
  ProtocolPosition position_of(size_t offset, PositionEncoding encoding) const;
  // A position from the assembler's 1-based line and column.
  ProtocolPosition position_at(int line, size_t byte_column, PositionEncoding encoding) const;
  // The whole of a 1-based line, without its line end.
  ProtocolRange line_range(int line, PositionEncoding encoding) const;

 private:
  std::string_view text_;
  std::vector<size_t> starts_;
};

}  // namespace zorm::lsp
