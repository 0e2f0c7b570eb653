#pragma once

#include <cstdint>
#include <string>

#include "listing/error_codes.h"
#include "zorm/assembly.h"

namespace zorm {

class Assembler;

// Counts the errors of a pass and prints every diagnostic.
class Diagnostics {
 public:
  explicit Diagnostics(Assembler& as) : as_(as) {}

  // Counts and prints an error and drops the rest of the source line.
  void report_error(int code);
  // Prints the two-line diagnostic without counting it.
  void print_diagnostic(const char* message, Severity severity = Severity::error);
  // Records a message of no source line for an embedding program (when the
  // run keeps records): an undefined label, a file that cannot be made.
  void note_message(std::string message, int file = -1, int line = 0);
  // "Probably unintended NOP": pass 2 only, silenced by -q and +q.
  void warn_unintended_nop();
  // Prints an internal consistency failure and ends the run (127).
  [[noreturn]] void internal_error(const char* format, ...) __attribute__((format(printf, 2, 3)));

  uint32_t error_count = 0;

 private:
  void emit_line(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void note_diagnostic(const char* message, Severity severity, int column);
  Assembler& as_;
};

}  // namespace zorm
