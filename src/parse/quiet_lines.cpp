#include "assembly/assembler.h"
#include "parse/statement_processor.h"
#include "source/byte_blocks.h"
#include "source/plain_lines.h"

namespace zorm {

namespace {

enum class LineKind {
  ends,     // empty or a comment: the line ends at once
  skipped,  // of a false conditional block, and no if, else or endif
  read,     // for the lexer
};

// The first byte of a line that is not a space or a tab; the line is padded
// so that a block can be read anywhere up to its end.
const char* first_non_blank(const char* line) {
  const char* p = line;
  for (unsigned mask = non_blank_bytes(load_block(p));; mask = non_blank_bytes(load_block(p += 16))) {
    if (mask != 0) return p + first_marked(mask);
  }
}

// What a line is from p, its first byte that is not blank. In a false
// conditional block only a name after the first column can be if, else or
// endif, when names are compared byte for byte.
LineKind kind_of(const char* line, const char* p, bool skipping, bool exact_names) {
  if (*p == '\n' || *p == ';' || (*p == '*' && p == line)) return LineKind::ends;
  if (!skipping || !exact_names || (p != line && (*p == 'i' || *p == 'e'))) return LineKind::read;
  return LineKind::skipped;
}

}  // namespace

// A new line is looked at before the lexer reads it. An empty or comment line
// ends at once, as the lexer would end it. A line of a false conditional
// block that cannot hold a conditional directive is over after its first
// byte: the lexer would read one token of it, and the statement would drop
// the rest unread. (Which token that was does not matter: the next line is
// read in the same state, or follows the empty line that ends a file or an
// expansion, and that line's end decides how a line after it begins.)
//
// Without a listing nothing of the statement of such a line shows, nor of the
// empty statement that follows a line end: they are only counted, and the
// next line is read at once.
int StatementProcessor::first_token() {
  Assembler& as = as_;
  Lexer& lexer = as.lexer;
  SourceStack& sources = as.sources;
  if (*lexer.cursor() != '\0' || lexer.line_end_state != 0 || lexer.struct_mode != 0) return lexer.next_token(1);
  const bool exact_names = as.options.keyword_compare == keyword_strcmp;
  const bool listed = as.options.listing_level > 0;
  const char* line = sources.current_line;
  // Whether a false block is being skipped changes with a conditional
  // directive, which ends this loop, or when read_line ends an expansion.
  bool skipping = !as.conditionals.active();
  for (;;) {
    const char* p;
    const int indent = sources.take_plain_line();
    if (indent >= 0) {
      p = line + indent;
    } else if (sources.read_line() == 0) {
      p = first_non_blank(line);
      skipping = !as.conditionals.active();
    } else {
      return lexer.next_token(1);  // the end of the input
    }
    const LineKind kind = kind_of(line, p, skipping, exact_names);
    if (kind == LineKind::read) {
      lexer.cursor_ = line;
      if (look_up_line()) return TOKEN_NONE;  // replayed without the lexer
      return lexer.next_token(1);
    }
    if (listed) {
      // The line is over: an empty or comment line as the lexer ends a line,
      // a skipped one as the statement drops it.
      lexer.token_start = p;
      lexer.set_cursor_to_end();
      if (kind == LineKind::ends) {
        lexer.line_end_state = 1;
        lexer.last_token = TOKEN_NEWLINE;
      }
      return TOKEN_NEWLINE;
    }
    if (kind == LineKind::ends) {
      // As the lexer ends a line: a '%' that starts the next one begins a
      // binary number.
      lexer.last_token = TOKEN_NEWLINE;
      count_statement();
    }
    count_statement();
  }
}

}  // namespace zorm
