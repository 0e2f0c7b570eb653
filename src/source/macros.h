#pragma once

#include <cstdint>
#include <string>

namespace zorm {

class Assembler;

inline constexpr int MAX_MACRO_PARAMS = 9;
inline constexpr int MAX_MACRO_LOCALS = 20;
inline constexpr int MACRO_BODY_SIZE = 5000;
inline constexpr char ARG_SEPARATOR = 0x1F;

// Macro definitions and calls.
class Macros {
 public:
  explicit Macros(Assembler& as) : as_(as) {}

  // The handler of "macro": reads the parameter list and the body.
  int macro_define();
  // The handler of "exitm".
  int macro_exit();
  // Turns the rest of a call line into the argument string.
  static std::string scan_arguments(const char* text);

 private:
  Assembler& as_;
};

}  // namespace zorm
