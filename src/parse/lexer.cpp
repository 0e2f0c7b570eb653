#include "parse/lexer.h"

#include <array>
#include <cstring>
#include <utility>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "assembly/assembler.h"
#include "parse/keyword_index.h"
#include "parse/name_length.h"
#include "source/byte_blocks.h"

namespace zorm {

constexpr const char* KEYWORD_TABLE[KEYWORD_COUNT] = {
    "a",  "af", "align", "b",  "bc", "c",  "d",  "db",  "dd",    "de", "ds", "dw", "e",   "end", "h",
    "hi", "hl", "i",     "ix", "ixh", "ixl", "iy", "iyh", "iyl", "l",  "label", "lo", "m", "nc", "ns",
    "nv", "nz", "p",     "pe", "po", "r",  "s",  "sp",  "struct", "v", "xh", "xl", "yh",  "yl",  "z",
};

namespace {

constexpr CharClass make_class(int c) {
  if (c == ' ' || c == '\t') return CHAR_BLANK;
  if (c == '\n') return CHAR_NEWLINE;
  if (c >= '0' && c <= '9') return CHAR_DIGIT;
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '.' || c == '?') return CHAR_NAME;
  if (c == '#') return CHAR_HASH;
  if (c == '$') return CHAR_DOLLAR;
  if (c == '\'' || c == '"') return CHAR_QUOTE;
  if (c == '@') return CHAR_AT;
  switch (c) {
    case '!': case '%': case '&': case '(': case ')': case '*': case '+': case ',': case '-': case '/':
    case ':': case ';': case '<': case '=': case '>': case '[': case ']': case '^': case '|': case '~':
      return CHAR_OPERATOR;
    default:
      return CHAR_ILLEGAL;
  }
}

constexpr int8_t make_digit(int c) {
  if (c >= '0' && c <= '9') return static_cast<int8_t>(c - '0');
  if (c >= 'A' && c <= 'Z') return static_cast<int8_t>(c - 'A' + 10);
  if (c >= 'a' && c <= 'z') return static_cast<int8_t>(c - 'a' + 10);
  return -1;
}

template <typename T, typename F, size_t... I>
constexpr std::array<T, 256> make_table(F f, std::index_sequence<I...>) {
  return {{f(static_cast<int>(I))...}};
}

// Keywords that the statement processor or the struct grammar treat as words
// of their own: outside a struct body they are plain identifiers.
bool is_struct_word(int token) {
  switch (token) {
    case 61: case 66: case 67: case 69: case 70: case 72: case 84: case 97:
      return true;
    default:
      return false;
  }
}

bool is_hex_digit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

const std::array<CharClass, 256> CHAR_CLASS = make_table<CharClass>(make_class, std::make_index_sequence<256>{});
const std::array<int8_t, 256> DIGIT_VALUE = make_table<int8_t>(make_digit, std::make_index_sequence<256>{});

namespace {
constexpr bool make_identifier_char(int c) { return make_class(c) == CHAR_NAME || make_class(c) == CHAR_DIGIT; }
// Bytes that continue an identifier: name characters and digits.
constexpr auto IDENTIFIER_CHAR = make_table<bool>(make_identifier_char, std::make_index_sequence<256>{});

// The keywords' exact-match index, for names compared byte for byte.
constexpr KeywordIndex<128> KEYWORD_INDEX(KEYWORD_TABLE, KEYWORD_COUNT);

constexpr int NAME_BLOCK = 16;

// The first byte from p that is not a space or a tab, sixteen at a time: the
// line buffer is padded so that a block can be read anywhere in the line.
const char* after_blanks(const char* p) {
  for (;; p += 16) {
    const unsigned text = non_blank_bytes(load_block(p));
    if (text != 0) return p + first_marked(text);
  }
}

}  // namespace

const char Lexer::empty_line_[1] = {'\0'};

bool Lexer::is_exact_keyword(const char* p, size_t length) { return KEYWORD_INDEX.find_padded(p, length) >= 0; }

Lexer::Lexer(Assembler& as) : cursor_(empty_line_), as_(as) {}

void Lexer::abandon_line() {
  cursor_ = empty_line_;
  line_end_state = 0;
}

void Lexer::reset_for_pass() {
  pushed_token = 0;
  line_end_state = 0;
  cursor_ = empty_line_;
}

bool Lexer::cursor_in_line() const {
  const char* line = as_.sources.current_line;
  if (cursor_ <= line || cursor_ >= line + CURRENT_LINE_SIZE) return false;
  return cursor_ < line + std::strlen(line);
}

void Lexer::finish_line(int state) {
  cursor_ = empty_line_;
  line_end_state = state;
  pushed_token = 0;
  last_token = line_end_token();
}

int Lexer::cursor_offset() const { return static_cast<int>(cursor_ - as_.sources.current_line); }

int Lexer::next_token(int raw_identifiers) {
  if (pushed_token != 0) {
    int token = pushed_token;
    pushed_token = 0;
    if (token == TOKEN_CLASS_STRUCT) struct_mode = 1;
    return finish(token);
  }
  const char* p = cursor_;
  if (*p == '\0') {
    if (line_end_state == 1) {
      line_end_state = 0;
      return finish(line_end_token());
    }
    if (as_.sources.read_line() != 0) {
      if (line_end_state == -1) return finish(TOKEN_END_OF_INPUT);
      line_end_state = -1;
      return finish(line_end_token());
    }
    p = as_.sources.current_line;
  }
  for (;;) {
    if (*p == ' ' || *p == '\t') {
      // One blank between tokens is the common case; longer runs go by blocks.
      ++p;
      if (*p == ' ' || *p == '\t') p = after_blanks(p);
    }
    const unsigned char c = static_cast<unsigned char>(*p);
    token_start = p;
    switch (CHAR_CLASS[c]) {
      case CHAR_BLANK:
        ++p;
        continue;
      case CHAR_NEWLINE:
        cursor_ = empty_line_;
        line_end_state = 1;
        return finish(line_end_token());
      case CHAR_DIGIT: {
        uint32_t value = 0;
        while (CHAR_CLASS[static_cast<unsigned char>(*p)] == CHAR_DIGIT) value = value * 10 + static_cast<uint32_t>(*p++ - '0');
        if (*p == 'x' || *p == 'b') {
          if (value != 0) {
            cursor_ = p;
            return finish(TOKEN_ERROR);
          }
          int radix = *p == 'x' ? 16 : 2;
          return read_number(p + 1, radix);
        }
        if (*p == '#') {
          ++p;
          if (value < 2 || value > 36) {
            cursor_ = p;
            return finish(TOKEN_ERROR);
          }
          return read_number(p, static_cast<int>(value));
        }
        cursor_ = p;
        return number(static_cast<int32_t>(value));
      }
      case CHAR_NAME:
        return identifier(p, raw_identifiers);
      case CHAR_HASH:
        return read_number(p + 1, 16);
      case CHAR_DOLLAR:
        if (is_hex_digit(p[1])) return read_number(p + 1, 16);
        cursor_ = p + 1;
        return finish(TOKEN_DOLLAR);
      case CHAR_AT:
        return read_number(p + 1, 8);
      case CHAR_QUOTE:
        return string_literal(p);
      case CHAR_ILLEGAL:
        while (CHAR_CLASS[static_cast<unsigned char>(*p)] == CHAR_ILLEGAL && *p != '\0') ++p;
        cursor_ = p;
        return finish(TOKEN_ERROR);
      case CHAR_OPERATOR:
        break;
      default:
        break;
    }
    // Operators.
    const char next = p[1];
    int token;
    int length = 1;
    switch (c) {
      case '!':
        if (next == '=') { token = TOKEN_NOT_EQUAL; length = 2; } else token = TOKEN_NOT;
        break;
      case '&':
        if (next == '&') { token = TOKEN_AND_AND; length = 2; } else token = TOKEN_AMPERSAND;
        break;
      case '<':
        if (next == '=') { token = TOKEN_LESS_EQUAL; length = 2; }
        else if (next == '<') { token = TOKEN_SHIFT_LEFT; length = 2; }
        else token = TOKEN_LESS;
        break;
      case '>':
        if (next == '>') { token = TOKEN_SHIFT_RIGHT; length = 2; }
        else if (next == '=') { token = TOKEN_GREATER_EQUAL; length = 2; }
        else token = TOKEN_GREATER;
        break;
      case '|':
        if (next == '|') { token = TOKEN_BAR_BAR; length = 2; } else token = TOKEN_BAR;
        break;
      case ';':
        cursor_ = empty_line_;
        line_end_state = 1;
        return finish(line_end_token());
      case '*':
        if (p == as_.sources.current_line) {
          cursor_ = empty_line_;
          line_end_state = 1;
          return finish(line_end_token());
        }
        token = TOKEN_STAR;
        break;
      case '%':
        if (last_token == TOKEN_RPAREN || last_token == TOKEN_IDENTIFIER || last_token == TOKEN_NUMBER ||
            last_token == TOKEN_STRING || last_token == TOKEN_DOLLAR) {
          token = TOKEN_PERCENT;
          break;
        }
        return read_number(p + 1, 2);
      case '(': token = TOKEN_LPAREN; break;
      case ')': token = TOKEN_RPAREN; break;
      case '+': token = TOKEN_PLUS; break;
      case ',': token = TOKEN_COMMA; break;
      case '-': token = TOKEN_MINUS; break;
      case '/': token = TOKEN_SLASH; break;
      case ':': token = TOKEN_COLON; break;
      case '=': token = TOKEN_EQUAL; break;
      case '[': token = TOKEN_LBRACKET; break;
      case ']': token = TOKEN_RBRACKET; break;
      case '^': token = TOKEN_CARET; break;
      case '~': token = TOKEN_TILDE; break;
      default: token = TOKEN_ERROR; break;
    }
    cursor_ = p + length;
    return finish(token);
  }
}

int Lexer::read_number(const char* p, int radix) {
  uint32_t value = 0;
  for (;;) {
    int digit = DIGIT_VALUE[static_cast<unsigned char>(*p)];
    if (digit < 0 || digit >= radix) break;
    value = value * static_cast<uint32_t>(radix) + static_cast<uint32_t>(digit);
    ++p;
  }
  cursor_ = p;
  return number(static_cast<int32_t>(value));
}

int Lexer::number(int32_t value) {
  if (as_.statement_cache.recording()) as_.statement_cache.note_number(value);
  if (!as_.values.push(VALUE_NUMBER, value)) return finish(TOKEN_ABANDONED);
  return finish(TOKEN_NUMBER);
}

int Lexer::identifier(const char* p, int raw_identifiers) {
  const char* start = p;
  const char* line = as_.sources.current_line;
  at_line_start = start == line;
  int n;
  if (start >= line && start + 2 * NAME_BLOCK <= line + CURRENT_LINE_SIZE + LINE_PADDING) {
    // Thirty-two bytes are in the padded line buffer: a name is at most 31
    // characters, so they hold it whole.
    n = name_length(start);
    std::memcpy(token_text, start, NAME_BLOCK);
    std::memcpy(token_text + NAME_BLOCK, start + NAME_BLOCK, NAME_BLOCK);
  } else {
    n = 0;
    do {
      token_text[n] = start[n];
      ++n;
    } while (n < MAX_IDENTIFIER_CHARS && IDENTIFIER_CHAR[static_cast<unsigned char>(start[n])]);
  }
  p = start + n;
  token_text[n] = '\0';
  token_length = n;
  cursor_ = p;

  // Keywords: an exact-match index when names compare byte for byte, else a
  // binary search in the sorted table with the chosen comparison.
  const KeywordCompare compare = as_.options.keyword_compare;
  int keyword = -1;
  if (compare == keyword_strcmp) {
    keyword = KEYWORD_INDEX.find_padded(token_text, static_cast<size_t>(n));
  } else {
    int low = 0, high = KEYWORD_COUNT - 1;
    while (low <= high) {
      int mid = (low + high) / 2;
      int order = compare(token_text, KEYWORD_TABLE[mid]);
      if (order == 0) {
        keyword = mid;
        break;
      }
      if (order < 0) high = mid - 1; else low = mid + 1;
    }
  }
  if (keyword >= 0) {
    int token = TOKEN_KEYWORD_FIRST + keyword;
    if (struct_mode == 0) {
      if (token == TOKEN_KW_AF && *p == '\'') {
        cursor_ = p + 1;
        return finish(TOKEN_AF_PRIME);
      }
      return finish(is_struct_word(token) ? TOKEN_IDENTIFIER : token);
    }
    if (is_struct_word(token)) return finish(token);
    as_.diagnostics.report_error(ERROR_INVALID_MNEMONIC);
    struct_mode = 0;
    return finish(TOKEN_NEWLINE);
  }
  if (raw_identifiers || at_line_start) return finish(TOKEN_IDENTIFIER);
  if (struct_mode) {
    if (!as_.values.push_string(token_text, static_cast<size_t>(n))) return finish(TOKEN_ABANDONED);
    return finish(TOKEN_IDENTIFIER);
  }
  return label_value();
}

// A label met in an operand: its value, or unknown while it is undefined.
int Lexer::label_value() {
  const std::string_view name(token_text, static_cast<size_t>(token_length));
  if (as_.record_references && as_.pass_number == 0) {
    as_.statements.note_reference(name, static_cast<int>(token_start - as_.sources.current_line), false);
  }
  SymbolLookup found = as_.symbols.symbol_lookup(name);
  if (as_.statement_cache.recording()) as_.statement_cache.note_symbol(found.symbol);
  ValueKind kind = VALUE_NUMBER;
  int32_t value = found.value;
  int token = TOKEN_NUMBER;
  if (as_.pass_number == 0) {
    if (found.kind == SYM_UNDEFINED || found.kind == SYM_MACRO) {
      kind = VALUE_UNKNOWN;
      value = 0;
    }
  } else if (found.kind == SYM_MACRO) {
    kind = VALUE_UNKNOWN;
    value = 0;
    token = TOKEN_ERROR;
  } else if (found.kind == SYM_UNDEFINED) {
    as_.diagnostics.internal_error("Internal error: undefined label in 2nd pass\n");
  }
  if (!as_.values.push(kind, value)) return finish(TOKEN_ABANDONED);
  return finish(token);
}

int Lexer::string_literal(const char* p) {
  const char quote = *p;
  const char* q = p + 1;
  int n = 0;
  while (*q != quote) {
    if (*q == '\n' || *q == '\0' || n >= MAX_STRING_CHARS) {
      cursor_ = q;
      return finish(TOKEN_BAD_STRING);
    }
    token_text[n++] = *q++;
  }
  token_text[n] = '\0';
  token_length = n;
  cursor_ = q + 1;
  if (as_.statement_cache.recording()) as_.statement_cache.note_string(token_text, static_cast<size_t>(n));
  if (!as_.values.push_string(token_text, static_cast<size_t>(n))) return finish(TOKEN_ABANDONED);
  return finish(TOKEN_STRING);
}

}  // namespace zorm
