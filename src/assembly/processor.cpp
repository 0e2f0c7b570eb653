#include "assembly/processor.h"

#include "assembly/assembler.h"

namespace zorm {

namespace {

struct ProcessorInfo {
  const char* symbol;
  const char* name;
  uint32_t code;
};

// Indexed by level. The code's first byte is 'i' or 'Z'; the last numbers
// the variant within the family.
const ProcessorInfo PROCESSORS[6] = {
    {"__8080__", nullptr, 0x6901F900},
    {"__8085__", "8085", 0x6901F901},
    {"__Z80__", "Z80", 0x5A000500},
    {"__Z80__", "Z80", 0x5A000501},
    {"__Z180__", "Z180", 0x5A000502},
    {"__Z280__", "Z280", 0x5A000503},
};

}  // namespace

const char* select_processor(Assembler& as) {
  int level = as.options.processor_level;
  switch (level) {
    case -1:
    case 2:
      level = LEVEL_Z80;
      break;
    case 1:
    case 3:
    case 4:
    case 5:
      break;
    default:
      level = LEVEL_8080;
  }
  as.processor_level = level;
  if (level == LEVEL_Z80_INDEX_BYTES) as.symbols.symbol_define("__Z80X__", 1, SYM_LABEL, 0x50);
  const ProcessorInfo& info = PROCESSORS[level];
  as.processor_code = info.code;
  as.symbols.symbol_define(info.symbol, 1, SYM_LABEL, 0x50);
  return info.name;
}

}  // namespace zorm
