#pragma once

#include <cstdint>

#include "listing/error_codes.h"

namespace zorm {

class Assembler;

// Counts the errors of a pass and prints every diagnostic.
class Diagnostics {
 public:
  explicit Diagnostics(Assembler& as) : as_(as) {}

  // Counts and prints an error and drops the rest of the source line.
  void report_error(int code);
  // Prints the two-line diagnostic without counting it.
  void print_diagnostic(const char* message);
  // "Probably unintended NOP": pass 2 only, silenced by -q and +q.
  void warn_unintended_nop();
  // Prints an internal consistency failure and ends the run (127).
  [[noreturn]] void internal_error(const char* format, ...) __attribute__((format(printf, 2, 3)));

  uint32_t error_count = 0;

 private:
  void emit_line(const char* format, ...) __attribute__((format(printf, 2, 3)));
  Assembler& as_;
};

}  // namespace zorm
