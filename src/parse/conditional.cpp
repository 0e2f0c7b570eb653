#include "parse/conditional.h"

#include "assembly/assembler.h"

namespace zorm {

int Conditionals::begin_conditional() {
  ValueStack& values = as_.values;
  bool condition = false;
  if (!values.empty()) {
    const Value& operand = values.top();
    condition = operand.kind != VALUE_UNKNOWN && operand.value != 0;
    values.pop();
  }
  if (skip_depth != 0) {
    ++skip_depth;
    return 0;
  }
  if (!active()) {
    skip_depth = 1;
    return 0;
  }
  if (conditional_depth >= MAX_CONDITIONAL_DEPTH) return ERROR_STACK_OVERFLOW;
  condition_stack_[++conditional_depth] = condition ? 1 : 0;
  return 0;
}

int Conditionals::switch_conditional() {
  if (conditional_depth == 0) return ERROR_ELSE_WITHOUT_IF;
  if (skip_depth != 0) return 0;
  condition_stack_[conditional_depth] = condition_stack_[conditional_depth] ? 0 : 1;
  return 0;
}

int Conditionals::end_conditional() {
  if (conditional_depth == 0) return ERROR_ELSE_WITHOUT_IF;
  if (skip_depth != 0) {
    --skip_depth;
  } else {
    --conditional_depth;
  }
  return 0;
}

int Conditionals::set_start_address() {
  MemoryImage& image = as_.image;
  image.line_shows_value = as_.encoding.statement_form != 0;
  if (as_.encoding.statement_form == 0 || as_.values.empty()) return 0;
  const Value& operand = as_.values.top();
  int32_t address = 0;
  if (operand.kind != VALUE_UNKNOWN) {
    address = operand.value;
    if (image.memory_limit != 0 && (address < 0 || static_cast<uint32_t>(address) >= image.memory_limit))
      return ERROR_RANGE;
    if (address < -32767 || address > 65535) return ERROR_RANGE;
  }
  as_.values.pop();
  start_address = address;
  image.listing_value = address;
  return 0;
}

}  // namespace zorm
