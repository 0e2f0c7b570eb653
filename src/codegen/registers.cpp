// The three parallel register tables, indexed by register code. Codes that
// the operand grammar never pushes (14 to 19, 28, 29) hold zeros.
#include "codegen/registers.h"

namespace zorm {

// Cycles that an operand adds to the base count of its instruction.
const int8_t REGISTER_CYCLE_ADDEND[REGISTER_CODE_COUNT] = {
    0,  0,  0,  0,  0,  0,  3,  0,   // b c d e h l (hl) a
    3,  3,  0,  0,  0,  0,  0,  0,   // (bc) (de) bc de hl sp - -
    0,  0,  0,  0,  4,  4,  4,  4,   // - - - - ixh ixl iyh iyl
    5,  5,  15, 15, 0,  0,  4,  4,   // i r (ix+d) (iy+d) - - ix iy
};

// The register as a source operand, or alone in the low three bits; a
// prefix byte, where there is one, sits in bits 8..15.
const int32_t REGISTER_ENCODING_8[REGISTER_CODE_COUNT] = {
    0x00,   0x01,   0x02,   0x03,   0x04,   0x05,   0x06,   0x07,    //
    0x02,   0x12,   0x00,   0x10,   0x20,   0x30,   0,      0,       //
    0,      0,      0,      0,      0xDD04, 0xDD05, 0xFD04, 0xFD05,  //
    0xED47, 0xED4F, 0xDD06, 0xFD06, 0,      0,      0xDD20, 0xFD20,  //
};

// The register shifted into bits 3..5 (a destination), or a register pair
// in bits 4..5.
const int32_t REGISTER_ENCODING_16[REGISTER_CODE_COUNT] = {
    0x00,   0x08,   0x10,   0x18,   0x20,   0x28,   0x30,   0x38,    //
    0x0A,   0x1A,   0x00,   0x10,   0x20,   0x30,   0,      0,       //
    0,      0,      0,      0,      0xDD20, 0xDD28, 0xFD20, 0xFD28,  //
    0xED57, 0xED5F, 0xDD30, 0xFD30, 0,      0,      0xDD20, 0xFD20,  //
};

}  // namespace zorm
