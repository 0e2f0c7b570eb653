#include "dbg/foreign_instructions.h"

#include <cstdio>

namespace zorm::dbg {

namespace {

constexpr const char* REGISTER8[8] = {"b", "c", "d", "e", "h", "l", "(hl)", "a"};
constexpr const char* PAIR[4] = {"bc", "de", "hl", "sp"};

std::string hex_byte(uint8_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02x", value);
  return text;
}

// The second byte of an ED instruction that the Z80 runs as documented (or
// as a documented instruction's mirror).
bool z80_has_ed(uint8_t op) {
  if (op >= 0x40 && op <= 0x7F) return true;
  const uint8_t row = op & 0xF0;
  return (row == 0xA0 || row == 0xB0) && (op & 0x04) == 0;
}

std::optional<ForeignInstruction> foreign_ed(uint8_t op, uint8_t operand) {
  const int reg = (op >> 3) & 7;
  // The Z180's forms among the Z80's mirrors, and the Z280's im 3.
  switch (op) {
    case 0x4C: case 0x5C: case 0x6C: case 0x7C: return ForeignInstruction{std::string("mlt ") + PAIR[(op >> 4) & 3], "Z180"};
    case 0x64: return ForeignInstruction{"tst " + hex_byte(operand), "Z180"};
    case 0x74: return ForeignInstruction{"tstio " + hex_byte(operand), "Z180"};
    case 0x76: return ForeignInstruction{"slp", "Z180"};
    case 0x83: return ForeignInstruction{"otim", "Z180"};
    case 0x93: return ForeignInstruction{"otimr", "Z180"};
    case 0x8B: return ForeignInstruction{"otdm", "Z180"};
    case 0x9B: return ForeignInstruction{"otdmr", "Z180"};
    case 0x4E: return ForeignInstruction{"im 3", "Z280"};
    default: break;
  }
  if (z80_has_ed(op)) return std::nullopt;
  if (op < 0x40 && reg != 6) {
    switch (op & 7) {
      case 0: return ForeignInstruction{std::string("in0 ") + REGISTER8[reg] + ",(" + hex_byte(operand) + ")", "Z180"};
      case 1: return ForeignInstruction{"out0 (" + hex_byte(operand) + ")," + REGISTER8[reg], "Z180"};
      default: break;
    }
  }
  if (op < 0x40 && (op & 7) == 4) return ForeignInstruction{std::string("tst ") + REGISTER8[reg], "Z180"};
  return ForeignInstruction{"the bytes 0xed " + hex_byte(op), ""};
}

}  // namespace

std::optional<ForeignInstruction> foreign_instruction(const std::array<uint8_t, 3>& bytes, Processor processor) {
  if (bytes[0] == 0xED) return foreign_ed(bytes[1], bytes[2]);
  if (processor == Processor::i8085) {
    if (bytes[0] == 0x20) return ForeignInstruction{"rim", "8085"};
    if (bytes[0] == 0x30) return ForeignInstruction{"sim", "8085"};
  }
  return std::nullopt;
}

}  // namespace zorm::dbg
