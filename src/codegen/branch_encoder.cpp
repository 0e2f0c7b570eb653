// jp, jr, djnz, call and rst, and the opt/noopt directives.
//
// With optimisation on, pass 1 picks the shortest form that reaches the
// target: a jp to a known target close by becomes jr, a jr or djnz that
// cannot reach (or that the processor lacks) becomes an absolute jump, and a
// call of a restart address becomes rst. Pass 2 never decides again: it
// reads the opcode that pass 1 left in the image at the statement's address
// and places the same form, so no statement changes its length and no label
// moves.
#include <cstdint>

#include "codegen/encoders.h"
#include "codegen/operand_checks.h"

namespace zorm {

namespace {

// Placed for a target that is not known yet, and for one that a relative
// form chosen earlier cannot reach.
constexpr int32_t TARGET_PLACEHOLDER_DISPLACEMENT = 0xFE;

enum JumpKind : int32_t { JUMP_JP = 0, JUMP_JR = 1, JUMP_DJNZ = 2 };
enum CallKind : int32_t { CALL_CALL = 0, CALL_RST = 1 };

constexpr int32_t OPCODE_DJNZ = 0x10;
constexpr int32_t OPCODE_JR = 0x18;
constexpr int32_t OPCODE_JR_CONDITIONAL = 0x20;
constexpr int32_t OPCODE_JP = 0xC3;
constexpr int32_t OPCODE_JP_CONDITIONAL = 0xC2;
constexpr int32_t OPCODE_CALL = 0xCD;
constexpr int32_t OPCODE_CALL_CONDITIONAL = 0xC4;
constexpr int32_t OPCODE_RST = 0xC7;
constexpr int32_t OPCODE_DEC_B = 0x05;

// The highest condition with a relative form (c).
constexpr int32_t LAST_RELATIVE_CONDITION = 3;

bool optimising(const EncoderContext& cx) { return cx.optimisation_state == 0; }

// One of the eight restart addresses 0, 8, ... 0x38.
bool is_restart_address(int32_t address) { return (address & ~0x38) == 0; }

// Places one jump or call statement: its target, and the forms to choose
// from.
class Branch {
 public:
  Branch(EncoderContext& cx, const Value& target)
      : cx_(cx), image_(cx.image), defined_(target.kind == VALUE_NUMBER), target_(target.value) {
    const int64_t origin = static_cast<int64_t>(image_.location_counter & 0xFFFF) + 2;
    displacement_ = static_cast<int64_t>(target_) - origin;
  }

  bool defined() const { return defined_; }
  int32_t target() const { return target_; }
  bool in_relative_range() const { return defined_ && displacement_ >= -128 && displacement_ <= 127; }
  int long_cycles() const { return cx_.processor_level == 1 ? 11 : 10; }

  // The target's address, or the statement's own while it is not known.
  int place_address() {
    return image_.emit_word(defined_ ? target_ : static_cast<int32_t>(image_.location_counter));
  }

  int place_long_jump(int32_t condition) {
    cx_.encoding.cycle_count = long_cycles();
    image_.emit_byte(condition < 0 ? OPCODE_JP : OPCODE_JP_CONDITIONAL | (condition << 3));
    return place_address();
  }

  // djnz that cannot be relative: decrement b, then jump if not zero.
  int place_long_djnz() {
    cx_.encoding.cycle_count = 14;
    image_.emit_byte(OPCODE_DEC_B);
    image_.emit_byte(OPCODE_JP_CONDITIONAL);
    return place_address();
  }

  void place_jr_opcode(int32_t condition) {
    cx_.encoding.cycle_count = 12;
    image_.emit_byte(condition < 0 ? OPCODE_JR : OPCODE_JR_CONDITIONAL | (condition << 3));
  }

  void place_djnz_opcode() {
    cx_.encoding.cycle_count = 13;
    image_.emit_byte(OPCODE_DJNZ);
  }

  // The displacement of a form that pass 1 chose as relative: placed as it
  // is; the placeholder when the target is not known yet.
  int place_chosen_displacement() {
    return image_.emit_byte(defined_ ? static_cast<int32_t>(displacement_) : TARGET_PLACEHOLDER_DISPLACEMENT);
  }

  // The displacement of a form that was not chosen by distance (the replay,
  // or no optimisation): a target out of reach keeps the two bytes and is
  // reported.
  int place_checked_displacement() {
    if (!defined_) return image_.emit_byte(TARGET_PLACEHOLDER_DISPLACEMENT);
    if (in_relative_range()) return image_.emit_byte(static_cast<int32_t>(displacement_));
    image_.emit_byte(TARGET_PLACEHOLDER_DISPLACEMENT);
    return ERROR_RELATIVE_UNREACHABLE;
  }

  int place_call(int32_t opcode) {
    image_.emit_byte(opcode);
    return place_address();
  }

  // The replay found a byte that this statement never produces.
  [[noreturn]] void inconsistent(bool call) {
    const uint32_t here = image_.location_counter;
    const unsigned first = image_.image_read(here) & 0xFF;
    const unsigned second = image_.image_read(here + 1) & 0xFF;
    const unsigned line = static_cast<unsigned>(cx_.sources.innermost_file_line());
    if (call) cx_.diagnostics.internal_error("Internal error: call %02x %02x in line %u\n", first, second, line);
    cx_.diagnostics.internal_error("Internal error: jump %02x %02x in line %u\n", first, second, line);
  }

 private:
  EncoderContext& cx_;
  MemoryImage& image_;
  bool defined_;
  int32_t target_;
  int64_t displacement_;
};

// A defined target must be an address of the target memory.
bool bad_target(const EncoderContext& cx, const Value& target) {
  if (target.kind != VALUE_NUMBER) return false;
  if (target.value < -32767 || target.value > 65535) return true;
  const uint32_t limit = cx.image.memory_limit;
  return limit != 0 && (target.value < 0 || static_cast<uint32_t>(target.value) >= limit);
}

// jp (hl), jp (ix), jp (iy).
int jump_through_register(EncoderContext& cx) {
  const int32_t code = register_at(cx.values, 0);
  if (code == REG_HL) {
    cx.encoding.cycle_count = cx.processor_level <= 1 ? 5 : 4;
    return cx.image.emit_opcode(0xE9);
  }
  if (!is_index_pair(code)) return ERROR_SYNTAX;
  cx.encoding.cycle_count = 8;
  return cx.image.emit_opcode(prefix_of(code) | 0xE9);
}

// Pass 1 with optimisation on: the shortest form that is sure to reach.
int decide_jump(EncoderContext& cx, Branch& branch, int32_t kind, int32_t condition) {
  const bool zilog = cx.processor_level >= 2;
  const bool relative_condition = condition <= LAST_RELATIVE_CONDITION;
  switch (kind) {
    case JUMP_JR:
      if (relative_condition && zilog && (!branch.defined() || branch.in_relative_range())) {
        branch.place_jr_opcode(condition);
        return branch.place_chosen_displacement();
      }
      return branch.place_long_jump(condition);
    case JUMP_JP:
      // A target not known yet may turn out far away: stay absolute.
      if (relative_condition && zilog && branch.in_relative_range()) {
        branch.place_jr_opcode(condition);
        return branch.place_chosen_displacement();
      }
      return branch.place_long_jump(condition);
    default:
      if (zilog && (!branch.defined() || branch.in_relative_range())) {
        branch.place_djnz_opcode();
        return branch.place_chosen_displacement();
      }
      return branch.place_long_djnz();
  }
}

// Pass 2 with optimisation on: the form that pass 1 chose.
int replay_jump(EncoderContext& cx, Branch& branch, int32_t kind, int32_t condition) {
  cx.encoding.cycle_count = branch.long_cycles();
  const int32_t chosen = cx.image.image_read(cx.image.location_counter) & 0xFF;
  switch (chosen) {
    case OPCODE_DEC_B:
      if (kind != JUMP_DJNZ) branch.inconsistent(false);
      return branch.place_long_djnz();
    case OPCODE_DJNZ:
      if (kind != JUMP_DJNZ) branch.inconsistent(false);
      branch.place_djnz_opcode();
      return branch.place_checked_displacement();
    case OPCODE_JR:
    case OPCODE_JR_CONDITIONAL | (0 << 3):
    case OPCODE_JR_CONDITIONAL | (1 << 3):
    case OPCODE_JR_CONDITIONAL | (2 << 3):
    case OPCODE_JR_CONDITIONAL | (3 << 3):
      branch.place_jr_opcode(condition);
      return branch.place_checked_displacement();
    default:
      return kind == JUMP_DJNZ ? branch.place_long_djnz() : branch.place_long_jump(condition);
  }
}

}  // namespace

// jp (0), jr (1), djnz (2).
int encode_jump(EncoderContext& cx, int32_t kind) {
  const int form = cx.encoding.statement_form;
  if (kind == JUMP_JP && form == 2) return jump_through_register(cx);
  if (form != 0 && !(kind == JUMP_JP && form == 1)) return ERROR_SYNTAX;
  // jp with the target alone has no condition, whatever was set before.
  const int32_t condition = kind == JUMP_JP && form == 1 ? -1 : cx.encoding.condition_code;
  const bool optimise = optimising(cx);
  const int long_cycles = cx.processor_level == 1 ? 11 : 10;

  if (!optimise && kind != JUMP_JP && cx.processor_level <= 1) {
    cx.encoding.cycle_count = long_cycles;
    return ERROR_SYNTAX;
  }
  if (cx.values.empty()) return ERROR_SYNTAX;
  if (bad_target(cx, cx.values.top())) {
    cx.encoding.cycle_count = long_cycles;
    return ERROR_RANGE;
  }
  Branch branch(cx, cx.values.top());
  cx.values.pop();

  if (!optimise) {
    switch (kind) {
      case JUMP_JR:
        if (condition > LAST_RELATIVE_CONDITION) {
          cx.encoding.cycle_count = long_cycles;
          return ERROR_SYNTAX;
        }
        branch.place_jr_opcode(condition);
        return branch.place_checked_displacement();
      case JUMP_DJNZ:
        branch.place_djnz_opcode();
        return branch.place_checked_displacement();
      default:
        return branch.place_long_jump(condition);
    }
  }
  if (cx.pass_number == 0) return decide_jump(cx, branch, kind, condition);
  return replay_jump(cx, branch, kind, condition);
}

// call (0), rst (1).
int encode_call(EncoderContext& cx, int32_t kind) {
  if (cx.values.empty()) return ERROR_SYNTAX;
  if (bad_target(cx, cx.values.top())) return ERROR_RANGE;
  Branch branch(cx, cx.values.top());
  cx.values.pop();

  if (kind == CALL_RST) {
    if (!branch.defined()) return cx.image.emit_byte(OPCODE_RST);
    const int32_t address = branch.target() & 0xFFFF;
    if (!is_restart_address(address)) return ERROR_RANGE;
    return cx.image.emit_byte(OPCODE_RST | address);
  }

  const int32_t condition = cx.encoding.condition_code;
  if (condition >= 0) return branch.place_call(OPCODE_CALL_CONDITIONAL | (condition << 3));

  const bool restart = branch.defined() && is_restart_address(branch.target());
  if (optimising(cx) && cx.pass_number == 0 && restart) {
    cx.encoding.cycle_count = 11;
    return cx.image.emit_byte(OPCODE_RST | branch.target());
  }
  if (optimising(cx) && cx.pass_number == 1) {
    const int32_t chosen = cx.image.image_read(cx.image.location_counter) & 0xFF;
    if (chosen == OPCODE_CALL) return branch.place_call(OPCODE_CALL);
    if (!restart || chosen != (OPCODE_RST | branch.target())) branch.inconsistent(true);
    cx.encoding.cycle_count = 11;
    return cx.image.emit_byte(chosen);
  }
  return branch.place_call(OPCODE_CALL);
}

int set_optimisation(EncoderContext& cx, int32_t value) {
  // -n switches optimisation off for the whole run.
  if (cx.optimisation_state != 1) cx.optimisation_state = value;
  return 0;
}

}  // namespace zorm
