#pragma once
// Instructions that ZORM assembles for the Z180, the Z280 and the 8085 but
// that the emulated Z80 does not have: it would run them as something else
// (mostly as a two-byte no-operation), so the run stops in front of them.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "zorm/assembly.h"

namespace zorm::dbg {

struct ForeignInstruction {
  std::string text;       // "mlt bc", "in0 a,(0x10)"
  std::string processor;  // "Z180", "Z280", "8085", or "" for a byte sequence no processor has
};

// What the instruction starting with these bytes is, when the Z80 lacks it.
// The 8085's rim and sim are Z80 relative jumps: they count only for a
// program assembled for the 8085.
std::optional<ForeignInstruction> foreign_instruction(const std::array<uint8_t, 3>& bytes, Processor processor);

}  // namespace zorm::dbg
