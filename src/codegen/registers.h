#pragma once

#include <cstdint>

namespace zorm {

// Register operand codes pushed by the operand grammar.
enum RegisterCode : int32_t {
  IMMEDIATE_OPERAND = -1,
  REG_B = 0,
  REG_C = 1,
  REG_D = 2,
  REG_E = 3,
  REG_H = 4,
  REG_L = 5,
  REG_HL_INDIRECT = 6,
  REG_A = 7,
  REG_BC_INDIRECT = 8,
  REG_DE_INDIRECT = 9,
  REG_BC = 10,
  REG_DE = 11,
  REG_HL = 12,
  REG_SP = 13,  // also af in push and pop
  REG_IXH = 20,
  REG_IXL = 21,
  REG_IYH = 22,
  REG_IYL = 23,
  REG_I = 24,
  REG_R = 25,
  REG_IX_INDEXED = 26,
  REG_IY_INDEXED = 27,
  REG_IX = 30,
  REG_IY = 31,
};

inline constexpr int REGISTER_CODE_COUNT = 32;

// Parallel tables indexed by register code (IMMEDIATE_OPERAND handled apart).
extern const int8_t REGISTER_CYCLE_ADDEND[REGISTER_CODE_COUNT];
extern const int32_t REGISTER_ENCODING_8[REGISTER_CODE_COUNT];
extern const int32_t REGISTER_ENCODING_16[REGISTER_CODE_COUNT];

inline int register_cycle_addend(int32_t code) {
  return code == IMMEDIATE_OPERAND ? 3 : REGISTER_CYCLE_ADDEND[code];
}

}  // namespace zorm
