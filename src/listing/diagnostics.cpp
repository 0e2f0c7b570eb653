#include "listing/diagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "assembly/assembler.h"
#include "assembly/fatal_exit.h"

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
  if (as_.listing_is_file() && as_.listing_file.is_open()) as_.listing_file.vprintf(format, copy);
  va_end(copy);
  va_end(args);
}

void Diagnostics::note_message(std::string message, int file, int line) {
  if (!as_.keep_records) return;
  Diagnostic& record = as_.records.diagnostics.emplace_back();
  record.file = file;
  record.line = line;
  record.message = std::move(message);
  record.pass = as_.pass_number + 1;
}

// The record of a diagnostic as print_diagnostic() prints it: the line of the
// second printed line, and "<<" at column (-1 for none) after the token that
// ends there.
void Diagnostics::note_diagnostic(const char* message, Severity severity, int column) {
  Diagnostic& record = as_.records.diagnostics.emplace_back();
  record.message = message;
  record.severity = severity;
  record.pass = as_.pass_number + 1;
  const SourceStack& sources = as_.sources;
  if (sources.empty()) return;
  const SourceEntry& top = sources.top_entry();
  const SourceEntry& file = sources.innermost_file();
  record.file = file.record_number;
  record.line = file.line_number;
  if (top.is_expansion()) {
    record.macro = top.name;
    record.expansion_line = top.line_number;
  }
  if (column < 0) return;
  record.column = column;
  const char* token = as_.lexer.token_start;
  const char* marker = sources.current_line + column;
  const bool token_before_marker = token != nullptr && token >= sources.current_line && token < marker;
  record.length = token_before_marker ? static_cast<int>(marker - token) : 1;
}

void Diagnostics::print_diagnostic(const char* message, Severity severity) {
  SourceStack& sources = as_.sources;
  const bool copy_to_listing = as_.listing_is_file() && as_.listing_file.is_open();
  const Lexer& lexer = as_.lexer;
  if (as_.keep_records) note_diagnostic(message, severity, !sources.empty() && lexer.cursor_in_line() ? lexer.cursor_offset() : -1);
  if (sources.empty()) {
    emit_line("ZM%02d : %s.\n", 80, message);
    return;
  }
  const SourceEntry& top = sources.top_entry();
  const char* line = sources.current_line;
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
  print_diagnostic("Probably unintended NOP", Severity::warning);
}

void Diagnostics::internal_error(const char* format, ...) {
  va_list args;
  va_start(args, format);
  if (as_.keep_records) {
    va_list copy;
    va_copy(copy, args);
    char text[256];
    std::vsnprintf(text, sizeof text, format, copy);
    va_end(copy);
    std::string message(text);
    while (!message.empty() && message.back() == '\n') message.pop_back();
    note_message(std::move(message));
  }
  as_.out.vprintf(format, args);
  va_end(args);
  throw FatalExit{EXIT_INTERNAL};
}

}  // namespace zorm
