#pragma once

#include <cstdint>

namespace zorm {

// What the operand grammar tells the encoders about a statement, and the
// cycle count the listing shows for it.
struct EncodingState {
  int32_t statement_form = 0;
  int32_t condition_code = -1;
  int32_t cycle_count = 0;
};

}  // namespace zorm
