#include "parse/line_shape.h"

#include <cstring>

#include "assembly/options.h"
#include "codegen/mnemonic_table.h"
#include "parse/lexer.h"
#include "parse/name_length.h"
#include "source/byte_blocks.h"

namespace zorm {

bool LineShape::read(const char* line, size_t length) {
  text_length = 0;
  hole_count = 0;
  label_length = 0;
  if (length > MAX_KEY) return false;
  // Counted in locals: the text is bytes, which the compiler must assume
  // may overlap the counts.
  size_t out = 0;
  size_t holes_taken = 0;
  size_t i = 0;
  // A label in column 0: a name that is neither a keyword nor a mnemonic
  // (those make the line an error, which is never kept).
  if (length != 0 && CHAR_CLASS[static_cast<unsigned char>(line[0])] == CHAR_NAME) {
    const int n = name_length(line);
    if (n >= MAX_IDENTIFIER_CHARS || Lexer::is_exact_keyword(line, static_cast<size_t>(n)) ||
        find_mnemonic(line, static_cast<size_t>(n), keyword_strcmp) != nullptr) {
      return false;
    }
    text[out++] = LABEL;
    label_length = static_cast<uint8_t>(n);
    i = static_cast<size_t>(n);
  }
  // The first name after the label is the mnemonic, taken as it stands, as
  // is an '=' there; names and numbers after it are taken out.
  bool operands = false;
  while (i < length) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    switch (CHAR_CLASS[c]) {
      case CHAR_BLANK: {
        // A run of blanks, sixteen bytes at a time (the text has room).
        size_t j = i;
        for (;;) {
          const ByteBlock bytes = load_block(line + j);
          store_block(text + out + (j - i), bytes);
          const unsigned others = non_blank_bytes(bytes);
          if (others != 0) {
            j += static_cast<size_t>(first_marked(others));
            break;
          }
          j += 16;
        }
        out += j - i;
        i = j;
        break;
      }
      case CHAR_NAME: {
        const size_t n = static_cast<size_t>(name_length(line + i));
        if (n >= static_cast<size_t>(MAX_IDENTIFIER_CHARS)) return false;
        if (!operands || Lexer::is_exact_keyword(line + i, n)) {
          // Thirty-two bytes at the name are readable; the text has room.
          std::memcpy(text + out, line + i, 16);
          if (n > 16) std::memcpy(text + out + 16, line + i + 16, 16);
          out += n;
          operands = true;
        } else {
          if (holes_taken == MAX_HOLES) return false;
          holes[holes_taken++] = Hole{static_cast<uint8_t>(i), static_cast<uint8_t>(n), false, 0};
          text[out++] = NAME;
        }
        i += n;
        break;
      }
      case CHAR_DIGIT: {
        if (!operands || holes_taken == MAX_HOLES) return false;
        // As the lexer reads a number: decimal digits, which a suffix or a
        // base would continue.
        uint32_t value = 0;
        size_t j = i;
        while (CHAR_CLASS[static_cast<unsigned char>(line[j])] == CHAR_DIGIT) {
          value = value * 10 + static_cast<uint32_t>(line[j++] - '0');
        }
        const CharClass next = CHAR_CLASS[static_cast<unsigned char>(line[j])];
        if (next == CHAR_NAME || next == CHAR_HASH || j > length) return false;
        holes[holes_taken++] = Hole{static_cast<uint8_t>(i), static_cast<uint8_t>(j - i), true, static_cast<int32_t>(value)};
        text[out++] = NUMBER;
        i = j;
        break;
      }
      case CHAR_OPERATOR:
        // Operators of expressions run grammar actions that can fail, which
        // no shape is noted for; ',', '(', ')', ':' and '=' stand alone.
        if (c != ',' && c != '(' && c != ')' && c != ':' && c != '=') return false;
        if (c == '=') operands = true;
        text[out++] = static_cast<char>(c);
        ++i;
        break;
      default:
        return false;
    }
  }
  text_length = out;
  hole_count = holes_taken;
  return true;
}

}  // namespace zorm
