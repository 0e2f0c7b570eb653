#pragma once
// The Z80's registers and flags by name, as the debugger shows and sets them.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace zorm::dbg {

enum class Register : uint8_t {
  af, bc, de, hl, af_alt, bc_alt, de_alt, hl_alt, ix, iy, sp, pc,  // 16 bits
  a, f, b, c, d, e, h, l, ixh, ixl, iyh, iyl, i, r,                // 8 bits
  im, iff1, iff2,                                                  // interrupt state
};

struct RegisterName {
  std::string_view name;  // lower case, as the assembler writes it; "af'" for the alternates
  Register reg;
  int bits;  // 16, 8, or 2 for im and 1 for the interrupt flip-flops
};

// Every register the debugger knows, the pairs first.
const std::vector<RegisterName>& register_names();
// Looks a register up by name, in any case; "pc" included.
std::optional<RegisterName> find_register(std::string_view name);

struct FlagName {
  std::string_view name;  // "S", "Z", "H", "P/V", "N", "C"
  int bit;
};
// The documented flags, from bit 7 down.
const std::vector<FlagName>& flag_names();

}  // namespace zorm::dbg
