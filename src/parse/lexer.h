#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "parse/tokens.h"

namespace zorm {

class Assembler;

inline constexpr int MAX_IDENTIFIER_CHARS = 31;
inline constexpr int MAX_STRING_CHARS = 250;

// Turns the line being assembled into tokens, reading further lines on
// demand, and pushes the value of every number, string and label it meets.
class Lexer {
 public:
  explicit Lexer(Assembler& as);

  int next_token(int raw_identifiers);
  // Drops the rest of the line: the next token comes from the next line.
  void abandon_line();
  void reset_for_pass();
  // Leaves the lexer as a statement that ended with the line leaves it:
  // state 0 after both line-end tokens, 1 after the first.
  void finish_line(int state);
  const char* end_of_line() const { return empty_line_; }

  bool cursor_in_line() const;
  // Offset of the cursor in current_line (valid when cursor_in_line()).
  int cursor_offset() const;
  void set_cursor_to_end() { cursor_ = empty_line_; }
  const char* cursor() const { return cursor_; }

  // For a reader that looks over a line before the lexer does: whether a
  // name is a keyword when names compare byte for byte (8 bytes at p are
  // readable).
  static bool is_exact_keyword(const char* p, size_t length);

  const char* cursor_ = nullptr;
  int line_end_state = 0;
  int pushed_token = 0;
  int struct_mode = 0;
  int last_token = 0;
  char token_text[MAX_STRING_CHARS + 1] = {0};
  int token_length = 0;
  const char* token_start = nullptr;
  int at_line_start = 0;

 private:
  int line_end_token() const { return struct_mode ? TOKEN_NEWLINE2 : TOKEN_NEWLINE; }
  int finish(int token) { last_token = token; return token; }
  int read_number(const char* p, int radix);
  int number(int32_t value);
  int identifier(const char* p, int raw_identifiers);
  int string_literal(const char* p);
  int label_value();

  Assembler& as_;
  static const char empty_line_[1];
};

// Classes of source bytes, one table for all 256 values.
enum CharClass : uint8_t {
  CHAR_ILLEGAL,
  CHAR_BLANK,
  CHAR_DIGIT,
  CHAR_NAME,
  CHAR_HASH,
  CHAR_DOLLAR,
  CHAR_QUOTE,
  CHAR_NEWLINE,
  CHAR_AT,
  CHAR_OPERATOR,
};

extern const std::array<CharClass, 256> CHAR_CLASS;
extern const std::array<int8_t, 256> DIGIT_VALUE;

}  // namespace zorm
