#pragma once

#include <cstdint>

namespace zorm {

class Assembler;

// The memory usage map in the listing: one row of 64 addresses per line.
void write_memory_map(Assembler& as, uint32_t limit);

}  // namespace zorm
