// Register admission for the operand grammar, and the encoders of the
// instructions with fixed opcodes or simple register operands.
//
// Every encoder follows the same order: refuse what the processor level or
// the operand combination does not allow (nothing placed), check a
// displacement (nothing placed), place the opcode bytes, and only then check
// an immediate, so that a statement whose immediate is out of range keeps its
// opcode bytes.
#include "codegen/encoders.h"

#include "codegen/operand_checks.h"
#include "codegen/registers.h"

namespace zorm {

namespace {

bool intel_level(const EncoderContext& cx) { return cx.processor_level <= 1; }

// Places the low byte of an operand value (0 while it is still unknown).
int place_byte(EncoderContext& cx, const Value& item) { return cx.image.emit_byte(item.value); }

}  // namespace

int admit_register(EncoderContext& cx, int code) {
  if (is_index_byte(code) && cx.processor_level != 3 && cx.processor_level != 5) return ERROR_SYNTAX;
  if (code >= REG_IXH && intel_level(cx)) return ERROR_SYNTAX;
  // A full stack has already been reported.
  return cx.values.push(VALUE_REGISTER, code) ? 0 : -1;
}

// The register item (26 or 27) is already on top. The displacement ends up
// below it: 0 for (ix), e for (ix+e), and the negation of the whole e for
// (ix-e).
int index_operand(EncoderContext& cx, int form) {
  if (intel_level(cx)) return ERROR_SYNTAX;
  ValueStack& values = cx.values;
  switch (form) {
    case 0:
      if (!values.push(VALUE_NUMBER, 0)) return -1;
      values.swap_top_two();
      return 0;
    case 1:
      values.swap_top_two();
      return 0;
    case 2: {
      values.swap_top_two();
      Value& displacement = values.from_top(1);
      if (displacement.kind == VALUE_NUMBER) displacement.value = unary_result(0, displacement.value);
      return 0;
    }
    default:
      return ERROR_SYNTAX;
  }
}

int encode_fixed(EncoderContext& cx, int32_t value) { return cx.image.emit_opcode(value); }

int encode_fixed_z80(EncoderContext& cx, int32_t value) {
  if (intel_level(cx)) return ERROR_SYNTAX;
  return cx.image.emit_opcode(value);
}

int encode_fixed_8085(EncoderContext& cx, int32_t value) {
  if (cx.processor_level != 1) return ERROR_SYNTAX;
  return cx.image.emit_opcode(value);
}

int encode_fixed_z180(EncoderContext& cx, int32_t value) {
  if (cx.processor_level != 4) return ERROR_SYNTAX;
  return cx.image.emit_opcode(value);
}

// nop, or nop n for n of them.
int encode_nop(EncoderContext& cx, int32_t) {
  int32_t count = 1;
  if (cx.encoding.statement_form == 1) {
    const Value& operand = cx.values.top();
    if (operand.kind == VALUE_UNKNOWN) return ERROR_UNDEFINED_LABEL;
    if (bad_word(operand) || operand.value <= 0) return ERROR_RANGE;
    count = operand.value;
  }
  const int32_t cycles = count * cx.encoding.cycle_count;
  cx.encoding.cycle_count = cycles >= 100 ? 99 : cycles;
  return cx.image.emit_zeros(static_cast<uint32_t>(count));  // nop is 0x00
}

// and, cp, or, sub, xor (value = operation field), and the 8-bit forms of
// add, adc and sbc.
int encode_alu8(EncoderContext& cx, int32_t value) {
  ValueStack& values = cx.values;
  const int32_t code = register_at(values, 0);
  if (code == IMMEDIATE_OPERAND) {
    cx.encoding.cycle_count += register_cycle_addend(code);
    cx.image.emit_opcode(value | 0xC6);
    const Value& operand = values.from_top(1);
    if (bad_byte(operand)) return ERROR_RANGE;
    return place_byte(cx, operand);
  }
  if (!is_register_or_hl(code) && !is_index_byte(code) && !is_indexed(code)) return ERROR_SYNTAX;
  cx.encoding.cycle_count += register_cycle_addend(code);
  const int32_t opcode = value | 0x80 | REGISTER_ENCODING_8[code];
  if (!is_indexed(code)) return cx.image.emit_opcode(opcode);
  const Value& displacement = values.from_top(1);
  if (bad_displacement(displacement)) return ERROR_RANGE;
  cx.image.emit_opcode(opcode);
  return place_byte(cx, displacement);
}

// add (0), adc (8), sbc (0x18): 8-bit like the other arithmetic, or 16-bit.
int encode_arith(EncoderContext& cx, int32_t value) {
  if (cx.encoding.statement_form == 0) return encode_alu8(cx, value);
  if (cx.encoding.statement_form != 1) return ERROR_SYNTAX;
  const int32_t target = register_at(cx.values, 1);
  const int32_t source = register_at(cx.values, 0);
  const bool target_ok = target == REG_HL || is_index_pair(target);
  const bool source_ok = is_plain_pair(source) || is_index_pair(source);
  if (!target_ok || !source_ok) return ERROR_SYNTAX;
  if (value == 0) {
    // hl, ix and iy only add themselves.
    const bool self_pair = source == REG_HL || is_index_pair(source);
    if (self_pair && source != target) return ERROR_SYNTAX;
    if (intel_level(cx)) {
      cx.encoding.cycle_count = 10;
    } else {
      cx.encoding.cycle_count = target == REG_HL ? 11 : 15;
    }
    return cx.image.emit_opcode(prefix_of(target) | 0x09 | pair_field(source));
  }
  if (target != REG_HL || !is_plain_pair(source) || intel_level(cx)) return ERROR_SYNTAX;
  cx.encoding.cycle_count = 15;
  return cx.image.emit_opcode(0xED00 | (value == 8 ? 0x4A : 0x42) | pair_field(source));
}

// inc (0), dec (1).
int encode_incdec(EncoderContext& cx, int32_t value) {
  ValueStack& values = cx.values;
  const int32_t code = register_at(values, 0);
  int32_t& cycles = cx.encoding.cycle_count;
  const bool intel = intel_level(cx);
  if (is_plain_register(code)) {
    if (intel) cycles += 1;
    return cx.image.emit_opcode((0x04 + value) | REGISTER_ENCODING_16[code]);
  }
  if (code == REG_HL_INDIRECT) {
    cycles += intel ? 6 : 7;
    return cx.image.emit_opcode(0x34 + value);
  }
  if (is_plain_pair(code)) {
    cycles += intel ? 1 : 2;
    return cx.image.emit_opcode((0x03 + 8 * value) | pair_field(code));
  }
  if (is_index_pair(code)) {
    cycles += 6;
    return cx.image.emit_opcode(prefix_of(code) | (0x23 + 8 * value));
  }
  if (is_index_byte(code)) {
    cycles += 4;
    return cx.image.emit_opcode((0x04 + value) | REGISTER_ENCODING_16[code]);
  }
  if (is_indexed(code)) {
    const Value& displacement = values.from_top(1);
    if (bad_displacement(displacement)) return ERROR_RANGE;
    cycles = 23;
    cx.image.emit_opcode(prefix_of(code) | (0x34 + value));
    return place_byte(cx, displacement);
  }
  return ERROR_SYNTAX;
}

// rlc rrc rl rr sla sra srl (value = operation field) and their aliases.
int encode_shift(EncoderContext& cx, int32_t value) {
  if (intel_level(cx)) return ERROR_SYNTAX;
  ValueStack& values = cx.values;
  const int32_t code = register_at(values, 0);
  if (is_plain_register(code)) return cx.image.emit_opcode(0xCB00 | value | REGISTER_ENCODING_8[code]);
  if (code == REG_HL_INDIRECT) {
    cx.encoding.cycle_count = 15;
    return cx.image.emit_opcode(0xCB00 | value | 0x06);
  }
  if (!is_indexed(code)) return ERROR_SYNTAX;
  const Value& displacement = values.from_top(1);
  if (bad_displacement(displacement)) return ERROR_RANGE;
  cx.encoding.cycle_count = 23;
  cx.image.emit_opcode(prefix_of(code) | 0xCB);
  place_byte(cx, displacement);
  return cx.image.emit_byte(value | 0x06);
}

// bit (0x40), res (0x80), set (0xC0): bit number n, then the operand.
int encode_bit(EncoderContext& cx, int32_t value) {
  if (intel_level(cx)) return ERROR_SYNTAX;
  ValueStack& values = cx.values;
  const int32_t code = register_at(values, 0);
  if (!is_register_or_hl(code) && !is_indexed(code)) return ERROR_SYNTAX;
  const bool indexed = is_indexed(code);
  if (indexed && bad_displacement(values.from_top(1))) return ERROR_RANGE;
  const Value& bit = values.from_top(indexed ? 2 : 1);
  if (outside(bit, 0, 7)) return ERROR_RANGE;
  const int32_t field = value | (bit.value << 3);
  const bool test_only = value == 0x40;
  if (is_plain_register(code)) {
    cx.encoding.cycle_count = 8;
    return cx.image.emit_opcode(0xCB00 | field | REGISTER_ENCODING_8[code]);
  }
  if (code == REG_HL_INDIRECT) {
    cx.encoding.cycle_count = test_only ? 12 : 15;
    return cx.image.emit_opcode(0xCB00 | field | 0x06);
  }
  cx.encoding.cycle_count = test_only ? 20 : 23;
  cx.image.emit_opcode(prefix_of(code) | 0xCB);
  place_byte(cx, values.from_top(1));
  return cx.image.emit_byte(field | 0x06);
}

// set b,operand: the bit instruction (form 1).
int encode_set_bit(EncoderContext& cx, int32_t value) {
  if (cx.encoding.statement_form != 1 || intel_level(cx)) return ERROR_SYNTAX;
  // The row counts as a directive, so the bss refusal is made here.
  if (cx.image.segment == SEGMENT_BSS) return ERROR_BSS_DATA_ONLY;
  return encode_bit(cx, value);
}

// push (1) in source order, pop (0) in reverse order, so that the same list
// after push and after pop restores every register.
int encode_stack(EncoderContext& cx, int32_t value) {
  ValueStack& values = cx.values;
  const int count = values.size();
  if (count == 0) return ERROR_SYNTAX;
  for (int i = 0; i < count; ++i) {
    const Value& item = values.at(i);
    if (item.kind != VALUE_REGISTER || (!is_plain_pair(item.value) && !is_index_pair(item.value))) return ERROR_SYNTAX;
  }
  const bool push = value == 1;
  const int32_t base = push ? 0xC5 : 0xC1;
  cx.encoding.cycle_count = 0;
  for (int i = 0; i < count; ++i) {
    const int32_t code = values.at(push ? i : count - 1 - i).value;
    const bool index = is_index_pair(code);
    cx.encoding.cycle_count += push ? (index ? 15 : 11) : (index ? 14 : 10);
    const int result = cx.image.emit_opcode(prefix_of(code) | base | pair_field(code));
    if (result != 0) return result;
  }
  return 0;
}

int encode_ex(EncoderContext& cx, int32_t) {
  switch (cx.encoding.statement_form) {
    case 0:  // de,hl
      return cx.image.emit_opcode(0xEB);
    case 1:  // af,af'
      if (intel_level(cx)) return ERROR_SYNTAX;
      return cx.image.emit_opcode(0x08);
    case 2: {  // (sp) with hl, ix or iy; hl,(sp) pushes no register
      const int32_t code = cx.values.empty() ? REG_HL : register_at(cx.values, 0);
      if (code == REG_HL) {
        cx.encoding.cycle_count = intel_level(cx) ? 18 : 19;
        return cx.image.emit_opcode(0xE3);
      }
      if (!is_index_pair(code)) return ERROR_SYNTAX;
      cx.encoding.cycle_count = 23;
      return cx.image.emit_opcode(prefix_of(code) | 0xE3);
    }
    default:
      return ERROR_SYNTAX;
  }
}

int encode_im(EncoderContext& cx, int32_t) {
  static constexpr int32_t MODE_OPCODES[4] = {0xED46, 0xED56, 0xED5E, 0xED4E};
  if (intel_level(cx)) return ERROR_SYNTAX;
  const Value& mode = cx.values.top();
  if (outside(mode, 0, 3)) return ERROR_RANGE;
  // Mode 3 exists on the Z280 only.
  if (mode.value == 3 && cx.processor_level != 5) return ERROR_RANGE;
  return cx.image.emit_opcode(MODE_OPCODES[mode.value]);
}

// The 8080 has no negate: complement, then increment a.
int encode_neg(EncoderContext& cx, int32_t) {
  if (!intel_level(cx)) return cx.image.emit_opcode(0xED44);
  cx.encoding.cycle_count += 1;
  cx.image.emit_byte(0x2F);
  return cx.image.emit_byte(0x3C);
}

int encode_ret(EncoderContext& cx, int32_t value) {
  const int32_t condition = cx.encoding.condition_code;
  if (condition >= 0) return cx.image.emit_opcode(0xC0 | (condition << 3));
  cx.encoding.cycle_count = 10;
  return cx.image.emit_opcode(value);
}

}  // namespace zorm
