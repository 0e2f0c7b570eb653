#pragma once

// Operand checks shared by the instruction encoders. Only a defined number
// is ever out of range: an operand that still depends on a label not yet
// defined passes every check and is placed as 0.

#include <cstdint>

#include "codegen/registers.h"
#include "parse/value_stack.h"

namespace zorm {

// Stands for "no register item here" (a number, a string, or no item).
inline constexpr int32_t NOT_A_REGISTER = -100;

inline bool outside(const Value& item, int32_t low, int32_t high) {
  return item.kind == VALUE_NUMBER && (item.value < low || item.value > high);
}
// An 8-bit immediate or port.
inline bool bad_byte(const Value& item) { return outside(item, -128, 255); }
// The displacement of (ix+d) and (iy+d).
inline bool bad_displacement(const Value& item) { return outside(item, -128, 127); }
// A 16-bit address or immediate.
inline bool bad_word(const Value& item) { return outside(item, -32768, 65535); }

// The register code of the item i places below the top.
inline int32_t register_at(ValueStack& values, int i) {
  if (i >= values.size()) return NOT_A_REGISTER;
  const Value& item = values.from_top(i);
  return item.kind == VALUE_REGISTER ? item.value : NOT_A_REGISTER;
}

inline bool is_indexed(int32_t code) { return code == REG_IX_INDEXED || code == REG_IY_INDEXED; }
inline bool is_index_byte(int32_t code) { return code >= REG_IXH && code <= REG_IYL; }
// b c d e h l a: the plain 8-bit registers.
inline bool is_plain_register(int32_t code) { return code >= REG_B && code <= REG_A && code != REG_HL_INDIRECT; }
// b c d e h l (hl) a.
inline bool is_register_or_hl(int32_t code) { return code >= REG_B && code <= REG_A; }
// bc de hl sp.
inline bool is_plain_pair(int32_t code) { return code >= REG_BC && code <= REG_SP; }
inline bool is_index_pair(int32_t code) { return code == REG_IX || code == REG_IY; }

// The prefix byte (in bits 8..15) of a register's encoding, 0 when none.
inline int32_t prefix_of(int32_t code) { return REGISTER_ENCODING_16[code] & 0xFF00; }
// The pair field (bits 4..5) of bc, de, hl, sp, ix, iy.
inline int32_t pair_field(int32_t code) { return REGISTER_ENCODING_16[code] & 0xFF; }

}  // namespace zorm
