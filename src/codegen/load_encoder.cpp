// The ld instruction: fourteen operand forms, told apart by the grammar
// through statement_form, plus the register-pair moves that the processors
// lack and that are assembled as two 8-bit moves.
#include "codegen/encoders.h"
#include "codegen/operand_checks.h"
#include "codegen/registers.h"

namespace zorm {

namespace {

// One register-pair move: the bytes to place (2 or 4) and its cycle counts.
struct PairMove {
  int8_t destination;
  int8_t source;
  uint8_t length;
  uint8_t bytes[4];
  uint8_t intel_cycles;
  uint8_t zilog_cycles;
};

constexpr PairMove PAIR_MOVES[] = {
    {REG_HL, REG_BC, 2, {0x60, 0x69}, 10, 8},
    {REG_HL, REG_DE, 2, {0x62, 0x6B}, 10, 8},
    {REG_DE, REG_BC, 2, {0x50, 0x59}, 10, 8},
    {REG_DE, REG_HL, 2, {0x54, 0x5D}, 10, 8},
    {REG_BC, REG_DE, 2, {0x42, 0x4B}, 10, 8},
    {REG_BC, REG_HL, 2, {0x44, 0x4D}, 10, 8},
    {REG_SP, REG_HL, 1, {0xF9}, 5, 6},
    {REG_SP, REG_IX, 2, {0xDD, 0xF9}, 10, 10},
    {REG_SP, REG_IY, 2, {0xFD, 0xF9}, 10, 10},
    {REG_IX, REG_BC, 4, {0xDD, 0x60, 0xDD, 0x69}, 16, 16},
    {REG_IX, REG_DE, 4, {0xDD, 0x62, 0xDD, 0x6B}, 16, 16},
    {REG_IY, REG_BC, 4, {0xFD, 0x60, 0xFD, 0x69}, 16, 16},
    {REG_IY, REG_DE, 4, {0xFD, 0x62, 0xFD, 0x6B}, 16, 16},
    {REG_BC, REG_IX, 4, {0xDD, 0x44, 0xDD, 0x4D}, 16, 16},
    {REG_BC, REG_IY, 4, {0xFD, 0x44, 0xFD, 0x4D}, 16, 16},
    {REG_DE, REG_IX, 4, {0xDD, 0x54, 0xDD, 0x5D}, 16, 16},
    {REG_DE, REG_IY, 4, {0xFD, 0x54, 0xFD, 0x5D}, 16, 16},
};

class LoadEncoder {
 public:
  explicit LoadEncoder(EncoderContext& cx) : cx_(cx), values_(cx.values), image_(cx.image), cycles_(cx.encoding.cycle_count) {}

  int encode(int form);

 private:
  bool intel() const { return cx_.processor_level <= 1; }
  int32_t reg(int i) { return register_at(values_, i); }
  const Value& item(int i) { return values_.from_top(i); }
  void warn_nop() { cx_.diagnostics.warn_unintended_nop(); }

  // Forms 0, 1, 3 and 6 add the cost of the register they name; a move
  // between two registers costs one cycle more on the Intel processors.
  void add_register_cycles(int32_t code, bool register_move) {
    const int addend = register_cycle_addend(code);
    cycles_ += addend;
    if (register_move && addend == 0 && intel()) cycles_ += 1;
  }

  int place_word(const Value& address) {
    return image_.emit_word(address.value);
  }

  int to_accumulator();
  int to_register();
  int to_index_byte();
  int to_memory();
  int pair_immediate();
  int pair_move();
  int pair_from_memory();
  int memory_from_pair();

  EncoderContext& cx_;
  ValueStack& values_;
  MemoryImage& image_;
  int32_t& cycles_;
};

// Form 0: a , s.
int LoadEncoder::to_accumulator() {
  const int32_t source = reg(0);
  if (source != IMMEDIATE_OPERAND && !is_register_or_hl(source) && !is_index_byte(source) && !is_indexed(source)) {
    return ERROR_SYNTAX;
  }
  add_register_cycles(source, true);
  if (source == IMMEDIATE_OPERAND) {
    image_.emit_opcode(0x3E);
    if (bad_byte(item(1))) return ERROR_RANGE;
    return image_.emit_byte(item(1).value);
  }
  if (is_indexed(source) && bad_displacement(item(1))) return ERROR_RANGE;
  int result = image_.emit_opcode(0x78 | REGISTER_ENCODING_8[source]);
  if (is_indexed(source)) result = image_.emit_byte(item(1).value);
  if (source == REG_A) warn_nop();
  return result;
}

// Form 3: b c d e h l , s.
int LoadEncoder::to_register() {
  const int32_t source = reg(0);
  const bool with_operand = source == IMMEDIATE_OPERAND || is_indexed(source);
  const int32_t target = reg(with_operand ? 2 : 1);
  if (!is_plain_register(target) || target == REG_A) return ERROR_SYNTAX;
  if (!with_operand && !is_register_or_hl(source) && !is_index_byte(source)) return ERROR_SYNTAX;
  // h and l cannot be moved to or from an index byte register: the prefix
  // would turn them into that register.
  if (is_index_byte(source) && (target == REG_H || target == REG_L)) return ERROR_SYNTAX;
  add_register_cycles(source, true);
  if (source == IMMEDIATE_OPERAND) {
    if (bad_byte(item(1))) return ERROR_RANGE;
    image_.emit_opcode(0x06 | REGISTER_ENCODING_16[target]);
    return image_.emit_byte(item(1).value);
  }
  if (is_indexed(source) && bad_displacement(item(1))) return ERROR_RANGE;
  int result = image_.emit_opcode(0x40 | REGISTER_ENCODING_16[target] | REGISTER_ENCODING_8[source]);
  if (is_indexed(source)) result = image_.emit_byte(item(1).value);
  if (source == target) warn_nop();
  return result;
}

// Forms 4 and 5: ixh ixl iyh iyl , s.
int LoadEncoder::to_index_byte() {
  const int32_t source = reg(0);
  const int32_t target = reg(source == IMMEDIATE_OPERAND ? 2 : 1);
  if (!is_index_byte(target)) return ERROR_SYNTAX;
  if (source == IMMEDIATE_OPERAND) {
    cycles_ = 8;
    if (bad_byte(item(1))) return ERROR_RANGE;
    cycles_ = 13;
    image_.emit_opcode(0x06 | REGISTER_ENCODING_16[target]);
    return image_.emit_byte(item(1).value);
  }
  // An index byte source must carry the target's prefix; h and l cannot
  // stand beside a prefix at all.
  const bool source_ok = (is_plain_register(source) && source != REG_H && source != REG_L) ||
                         (is_index_byte(source) && prefix_of(source) == prefix_of(target));
  if (!source_ok) return ERROR_SYNTAX;
  cycles_ = 8;
  const int result = image_.emit_opcode(0x40 | REGISTER_ENCODING_16[target] | REGISTER_ENCODING_8[source]);
  if (source == target) warn_nop();
  return result;
}

// Forms 7 and 8: (hl), (ix+d), (iy+d) , s.
int LoadEncoder::to_memory() {
  const int32_t source = reg(0);
  const bool immediate = source == IMMEDIATE_OPERAND;
  if (!immediate && !is_plain_register(source)) return ERROR_SYNTAX;
  const int32_t target = reg(immediate ? 2 : 1);
  if (target != REG_HL_INDIRECT && !is_indexed(target)) return ERROR_SYNTAX;
  const bool indexed = is_indexed(target);
  const int displacement_at = immediate ? 3 : 2;
  if (immediate && bad_byte(item(1))) {
    cycles_ = 7;
    return ERROR_RANGE;
  }
  if (indexed && bad_displacement(item(displacement_at))) {
    cycles_ = immediate ? 10 : 7;
    return ERROR_RANGE;
  }
  if (indexed) {
    cycles_ = 19;
  } else {
    cycles_ = immediate ? 10 : 7;
  }
  const int32_t opcode = immediate ? 0x06 | REGISTER_ENCODING_16[target]
                                   : 0x70 | REGISTER_ENCODING_16[target] | REGISTER_ENCODING_8[source];
  int result = image_.emit_opcode(opcode);
  if (indexed) result = image_.emit_byte(item(displacement_at).value);
  if (immediate) result = image_.emit_byte(item(1).value);
  return result;
}

// Form 9: rr , nn.
int LoadEncoder::pair_immediate() {
  const int32_t target = reg(1);
  if (!is_plain_pair(target) && !is_index_pair(target)) return ERROR_SYNTAX;
  cycles_ = 10 + register_cycle_addend(target);
  image_.emit_opcode(0x01 | REGISTER_ENCODING_16[target]);
  return place_word(item(0));
}

// Form 10: rr , rr'.
int LoadEncoder::pair_move() {
  const int32_t target = reg(1);
  const int32_t source = reg(0);
  if (target == source) {
    cycles_ = 0;
    warn_nop();
    return 0;
  }
  for (const PairMove& move : PAIR_MOVES) {
    if (move.destination != target || move.source != source) continue;
    cycles_ = intel() ? move.intel_cycles : move.zilog_cycles;
    int result = 0;
    for (int i = 0; i < move.length; ++i) result = image_.emit_byte(move.bytes[i]);
    return result;
  }
  return ERROR_SYNTAX;
}

// Form 11: rr , (nn).
int LoadEncoder::pair_from_memory() {
  const int32_t target = reg(1);
  if (target == REG_HL) {
    cycles_ = 16;
    image_.emit_opcode(0x2A);
  } else if (is_plain_pair(target) || is_index_pair(target)) {
    if (intel()) {
      cycles_ = 16;
      return ERROR_SYNTAX;
    }
    cycles_ = 20;
    image_.emit_opcode(is_index_pair(target) ? prefix_of(target) | 0x2A : 0xED4B | pair_field(target));
  } else {
    return ERROR_SYNTAX;
  }
  return place_word(item(0));
}

// Form 13: (nn) , rr.
int LoadEncoder::memory_from_pair() {
  const int32_t source = reg(0);
  const Value& address = item(1);
  if (bad_word(address)) {
    cycles_ = 16;
    return ERROR_RANGE;
  }
  if (source == REG_HL) {
    cycles_ = 16;
    image_.emit_opcode(0x22);
  } else if (is_plain_pair(source) || is_index_pair(source)) {
    if (intel()) return ERROR_SYNTAX;
    cycles_ = 20;
    image_.emit_opcode(is_index_pair(source) ? prefix_of(source) | 0x22 : 0xED43 | pair_field(source));
  } else {
    return ERROR_SYNTAX;
  }
  return place_word(address);
}

int LoadEncoder::encode(int form) {
  // The 16-bit address or immediate of forms 2, 9, 11 and 12 lies on top.
  if (values_.empty()) return ERROR_SYNTAX;
  if (bad_word(values_.top())) return ERROR_RANGE;
  switch (form) {
    case 0:
      return to_accumulator();
    case 1: {  // a , (bc) (de) i r
      const int32_t source = reg(0);
      if (source != REG_BC_INDIRECT && source != REG_DE_INDIRECT && source != REG_I && source != REG_R) {
        return ERROR_SYNTAX;
      }
      add_register_cycles(source, false);
      return image_.emit_opcode(REGISTER_ENCODING_16[source]);
    }
    case 2:  // a , (nn)
      cycles_ = 13;
      image_.emit_opcode(0x3A);
      return place_word(item(0));
    case 3:
      return to_register();
    case 4:
    case 5:
      return to_index_byte();
    case 6: {  // (bc) (de) i r , a
      const int32_t target = reg(0);
      if (target != REG_BC_INDIRECT && target != REG_DE_INDIRECT && target != REG_I && target != REG_R) {
        return ERROR_SYNTAX;
      }
      add_register_cycles(target, false);
      return image_.emit_opcode(REGISTER_ENCODING_8[target]);
    }
    case 7:
    case 8:
      return to_memory();
    case 9:
      return pair_immediate();
    case 10:
      return pair_move();
    case 11:
      return pair_from_memory();
    case 12:  // (nn) , a
      cycles_ = 13;
      image_.emit_opcode(0x32);
      return place_word(item(0));
    case 13:
      return memory_from_pair();
    default:
      return ERROR_SYNTAX;
  }
}

}  // namespace

int encode_ld(EncoderContext& cx, int32_t) {
  LoadEncoder encoder(cx);
  return encoder.encode(cx.encoding.statement_form);
}

}  // namespace zorm
