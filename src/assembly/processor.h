#pragma once

#include <cstdint>

namespace zorm {

class Assembler;

enum ProcessorLevel : int {
  LEVEL_8080 = 0,
  LEVEL_8085 = 1,
  LEVEL_Z80 = 2,
  LEVEL_Z80_INDEX_BYTES = 3,
  LEVEL_Z180 = 4,
  LEVEL_Z280 = 5,
};

// Fixes the processor level from the option, defines its symbol and returns
// the display name (nullptr for the 8080).
const char* select_processor(Assembler& as);

}  // namespace zorm
