#include "listing/diagnostics.h"

#include <cstdarg>
#include <cstring>

#include "driver/assembler.h"
#include "driver/fatal_exit.h"

namespace zorm {

void Diagnostics::report_error(int code) {
  ++error_count;
  print_diagnostic(error_message(code));
  as_.lexer.abandon_line();
  if (code == ERROR_NO_MEMORY) throw FatalExit{EXIT_NO_MEMORY};
}

// Prints one line on standard output and copies it into a listing file.
void Diagnostics::emit_line(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  as_.out.vprintf(format, args);
  if (as_.listing_is_file() && as_.listing_file.is_file()) as_.listing_file.vprintf(format, copy);
  va_end(copy);
  va_end(args);
}

void Diagnostics::print_diagnostic(const char* message) {
  SourceStack& sources = as_.sources;
  const bool copy_to_listing = as_.listing_is_file() && as_.listing_file.is_file();
  if (sources.empty()) {
    emit_line("ZM%02d : %s.\n", 80, message);
    return;
  }
  const SourceEntry& top = sources.top_entry();
  const char* line = sources.current_line;
  const Lexer& lexer = as_.lexer;
  if (lexer.cursor_in_line()) {
    const int at = lexer.cursor_offset();
    char before[CURRENT_LINE_SIZE];
    std::memcpy(before, line, static_cast<size_t>(at));
    before[at] = '\0';
    emit_line("%u:%s<<%c%s", static_cast<unsigned>(top.line_number), before, line[at], line + at + 1);
  } else {
    emit_line("%u:%s", static_cast<unsigned>(top.line_number), line);
  }
  if (copy_to_listing) as_.listing.listing_advance_line();
  if (!top.is_expansion()) {
    emit_line("\"%s\",%u : %s.\n", top.name.c_str(), static_cast<unsigned>(top.line_number), message);
  } else {
    const SourceEntry& file = sources.innermost_file();
    emit_line("\"%s\",%u (%s) : %s.\n", file.name.c_str(), static_cast<unsigned>(file.line_number), top.name.c_str(),
              message);
  }
  if (copy_to_listing) as_.listing.listing_advance_line();
}

void Diagnostics::warn_unintended_nop() {
  if (as_.pass_number != 1 || as_.options.quiet || as_.options.suppress_warnings) return;
  print_diagnostic("Probably unintended NOP");
}

void Diagnostics::internal_error(const char* format, ...) {
  va_list args;
  va_start(args, format);
  as_.out.vprintf(format, args);
  va_end(args);
  throw FatalExit{EXIT_INTERNAL};
}

}  // namespace zorm
