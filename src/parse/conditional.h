#pragma once

#include <cstdint>

namespace zorm {

class Assembler;

inline constexpr int MAX_CONDITIONAL_DEPTH = 9;

// if / else / endif, and the start address recorded by end.
class Conditionals {
 public:
  explicit Conditionals(Assembler& as) : as_(as) {}

  bool active() const { return condition_stack_[conditional_depth] != 0; }

  int begin_conditional();
  int switch_conditional();
  int end_conditional();
  int set_start_address();

  int conditional_depth = 0;
  int skip_depth = 0;
  int32_t start_address = -1;

 private:
  Assembler& as_;
  uint8_t condition_stack_[MAX_CONDITIONAL_DEPTH + 1] = {1};
};

}  // namespace zorm
