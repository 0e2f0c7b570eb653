// Port input and output, and the instructions that only the Z180 has.
#include "codegen/encoders.h"
#include "codegen/operand_checks.h"
#include "codegen/registers.h"

namespace zorm {

namespace {

constexpr int Z180_LEVEL = 4;

// The cases of encode_io: the row value (in 0, out 3) plus the form.
enum IoCase : int32_t {
  IN_PORT = 0,      // in r,(n)
  IN_C = 1,         // in r,(c)
  IN_C_ONLY = 2,    // in (c)
  OUT_PORT = 3,     // out (n),r
  OUT_C = 4,        // out (c),r
};

// b c d e h l: the registers that the Z180's in0 and out0 opcodes take
// besides a.
bool z180_port_register(int32_t code) { return code >= REG_B && code <= REG_L; }

}  // namespace

// in (0) and out (3).
int encode_io(EncoderContext& cx, int32_t value) {
  const int form = cx.encoding.statement_form;
  if (form != 0 && cx.processor_level <= 1) return ERROR_SYNTAX;
  ValueStack& values = cx.values;
  MemoryImage& image = cx.image;
  const bool z180 = cx.processor_level == Z180_LEVEL;
  switch (value + form) {
    case IN_PORT: {
      const int32_t code = register_at(values, 1);
      const Value& port = values.from_top(0);
      if (bad_byte(port)) return ERROR_RANGE;
      if (code == REG_A) {
        image.emit_byte(0xDB);
      } else if (z180 && z180_port_register(code)) {
        // The Z180's in0.
        image.emit_opcode(0xED00 | (code << 3));
      } else {
        return ERROR_SYNTAX;
      }
      return image.emit_byte(port.value);
    }
    case IN_C: {
      // The index byte registers have no encoding here.
      const int32_t code = register_at(values, 0);
      if (!is_plain_register(code)) return ERROR_SYNTAX;
      cx.encoding.cycle_count = 12;
      return image.emit_opcode(0xED40 | (code << 3));
    }
    case IN_C_ONLY:
      cx.encoding.cycle_count = 12;
      return image.emit_opcode(0xED70);
    case OUT_PORT: {
      const int32_t code = register_at(values, 0);
      const Value& port = values.from_top(1);
      if (code == REG_A) {
        image.emit_byte(0xD3);
      } else if (z180 && z180_port_register(code)) {
        // The Z180's out0.
        image.emit_opcode(0xED01 | (code << 3));
      } else {
        return ERROR_SYNTAX;
      }
      if (bad_byte(port)) return ERROR_RANGE;
      return image.emit_byte(port.value);
    }
    case OUT_C: {
      const int32_t code = register_at(values, 0);
      if (!is_plain_register(code)) return ERROR_SYNTAX;
      cx.encoding.cycle_count = 12;
      return image.emit_opcode(0xED41 | (code << 3));
    }
    default:
      return ERROR_SYNTAX;
  }
}

// in0 r,(n) (0) and out0 (n),r (1): the port is always an immediate.
int encode_io0(EncoderContext& cx, int32_t value) {
  if (cx.processor_level != Z180_LEVEL) return ERROR_SYNTAX;
  if (cx.encoding.statement_form != 0) return ERROR_SYNTAX;  // written with (c)
  ValueStack& values = cx.values;
  const bool output = value == 1;
  const int32_t code = register_at(values, output ? 0 : 1);
  const Value& port = values.from_top(output ? 1 : 0);
  if (bad_byte(port)) return ERROR_RANGE;
  if (!is_plain_register(code)) return ERROR_SYNTAX;
  cx.image.emit_opcode(0xED00 | value | (code << 3));
  return cx.image.emit_byte(port.value);
}

int encode_mlt(EncoderContext& cx, int32_t) {
  const int32_t code = register_at(cx.values, 0);
  if (cx.processor_level != Z180_LEVEL || !is_plain_pair(code)) return ERROR_SYNTAX;
  return cx.image.emit_opcode(0xED4C | pair_field(code));
}

// tst r, tst (hl), tst n.
int encode_tst(EncoderContext& cx, int32_t) {
  if (cx.processor_level != Z180_LEVEL) return ERROR_SYNTAX;
  ValueStack& values = cx.values;
  const int32_t code = register_at(values, 0);
  if (!is_register_or_hl(code) && code != IMMEDIATE_OPERAND) return ERROR_SYNTAX;
  cx.encoding.cycle_count += register_cycle_addend(code);
  if (code != IMMEDIATE_OPERAND) return cx.image.emit_opcode(0xED04 | (code << 3));
  cx.image.emit_opcode(0xED64);
  const Value& operand = values.from_top(1);
  if (bad_byte(operand)) return ERROR_RANGE;
  return cx.image.emit_byte(operand.value);
}

// tstio n, or tstio (p),n: only n is encoded.
int encode_tstio(EncoderContext& cx, int32_t) {
  if (cx.processor_level != Z180_LEVEL) return ERROR_SYNTAX;
  if (cx.values.empty()) return ERROR_SYNTAX;
  cx.image.emit_opcode(0xED74);
  const Value& operand = cx.values.top();
  if (bad_byte(operand)) return ERROR_RANGE;
  return cx.image.emit_byte(operand.value);
}

}  // namespace zorm
