#pragma once

#include <cstddef>
#include <cstdint>

namespace zorm {

// The shape of a line: its text with the label at its start, each name among
// its operands and each plain decimal number turned into one marker byte,
// and those taken out in their order. The lexer reads two lines of the same
// shape as the same tokens: the names are no keywords and the numbers end
// where the lexer ends them. So what reading one of them gave, with the
// other's names and numbers put in, is what reading the other would give.
//
// A line with anything else in it has no shape: a quote, a number in another
// base or with a suffix, '$', an operator of expressions, a name of 31
// characters or more, a byte the lexer does not know.
class LineShape {
 public:
  static constexpr char LABEL = 1;
  static constexpr char NAME = 2;
  static constexpr char NUMBER = 3;
  static constexpr size_t MAX_KEY = 255;
  static constexpr size_t MAX_HOLES = 32;

  // A name or number taken out, where it stands in the line.
  struct Hole {
    uint8_t start;
    uint8_t length;
    bool is_number;
    int32_t value;  // a number's value as the lexer takes it
  };

  // Reads the first length bytes of a line (at most MAX_KEY, no quote or
  // comment among them); false when the line has no shape. The line buffer
  // is padded: 32 bytes can be read at every place in it.
  bool read(const char* line, size_t length);

  // Room behind the text for copying a name 32 bytes and blanks 16 bytes at
  // a time.
  char text[MAX_KEY + 33];
  size_t text_length = 0;
  Hole holes[MAX_HOLES];
  size_t hole_count = 0;
  uint8_t label_length = 0;
};

}  // namespace zorm
