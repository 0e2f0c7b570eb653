#include "support/statement_generator.h"

#include <cstdlib>
#include <map>

namespace zorm::test {

uint32_t base_seed() {
  constexpr uint32_t SEED = 0x20A7F00D;
  const char* text = std::getenv("ZORM_PROPERTY_SEED");
  return text != nullptr && *text != '\0' ? static_cast<uint32_t>(std::strtoul(text, nullptr, 0)) : SEED;
}

int Random::below(int n) {
  if (data_ == nullptr) {
    // Plain modulo on the engine's output keeps the sequence the same with
    // every standard library.
    return static_cast<int>(engine_() % static_cast<uint32_t>(n));
  }
  if (n <= 1) return 0;
  if (left_ == 0) return static_cast<int>(engine_() % static_cast<uint32_t>(n));
  // As many bytes as the bound needs, so that a mutated byte changes one
  // choice.
  uint32_t value = 0;
  const int bytes = n <= 0x100 ? 1 : n <= 0x10000 ? 2 : 4;
  for (int i = 0; i < bytes && left_ > 0; ++i, --left_) value = value << 8 | *data_++;
  return static_cast<int>(value % static_cast<uint32_t>(n));
}

std::string Random::forward_name(uint32_t value) {
  const std::string name = "fwd" + std::to_string(definitions_.size());
  definitions_.push_back(name + " equ " + std::to_string(value));
  return name;
}

namespace {

// ---- numbers in the source's notations -------------------------------------

std::string digits(uint32_t value, int radix, bool upper) {
  const char* set = upper ? "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ" : "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string text;
  do {
    text.insert(text.begin(), set[value % static_cast<uint32_t>(radix)]);
    value /= static_cast<uint32_t>(radix);
  } while (value != 0);
  return text;
}

}  // namespace

// A non-negative number in one of the notations.
std::string literal(Random& r, uint32_t value) {
  const bool upper = r.one_in(2);
  switch (r.below(10)) {
    case 0:
    case 1:
    case 2:
      return std::to_string(value);
    case 3:
      return "0x" + digits(value, 16, upper);
    case 4:
      return "$" + digits(value, 16, upper);
    case 5:
      return "#" + digits(value, 16, upper);
    case 6:
      return "%" + digits(value, 2, false);
    case 7:
      return "@" + digits(value, 8, false);
    case 8:
      return "0b" + digits(value, 2, false);
    default: {
      const int radix = r.range(2, 36);
      return std::to_string(radix) + "#" + digits(value, radix, upper);
    }
  }
}

// A non-negative value, sometimes as a sum or difference or as a name that is
// defined further down. Never begins with a parenthesis, so it is never taken
// for a memory operand.
std::string expression(Random& r, uint32_t value) {
  switch (r.below(8)) {
    case 0: {
      const uint32_t part = static_cast<uint32_t>(r.range(0, static_cast<int>(value)));
      return literal(r, part) + "+" + literal(r, value - part);
    }
    case 1: {
      const uint32_t extra = static_cast<uint32_t>(r.range(0, 300));
      return literal(r, value + extra) + "-" + literal(r, extra);
    }
    case 2:
      return r.forward_name(value);
    default:
      return literal(r, value);
  }
}

std::string decimal(int32_t value) { return std::to_string(value); }

bool z80(int level) { return level >= 2; }
bool index_bytes(int level) { return level == 3 || level == 5; }

namespace {

std::string signed_expression(Random& r, int32_t value) {
  if (value < 0) {
    std::string text = "-";
    text += literal(r, static_cast<uint32_t>(-value));
    return text;
  }
  return expression(r, static_cast<uint32_t>(value));
}

std::string in_parentheses(const std::string& inside) {
  std::string text;
  text.reserve(inside.size() + 2);
  text += '(';
  text += inside;
  text += ')';
  return text;
}

// ---- operands ------------------------------------------------------------

const std::vector<std::string> REGISTERS = {"b", "c", "d", "e", "h", "l", "a"};
const std::vector<std::string> INDEX_BYTES = {"ixh", "ixl", "iyh", "iyl"};
const std::vector<std::string> CONDITIONS = {"nz", "z", "nc", "c", "po", "pe", "p", "m"};
const std::map<std::string, std::string> CONDITION_ALIASES = {{"po", "nv"}, {"pe", "v"}, {"p", "ns"}, {"m", "s"}};
const std::map<std::string, std::string> INDEX_BYTE_ALIASES = {
    {"ixh", "xh"}, {"ixl", "xl"}, {"iyh", "yh"}, {"iyl", "yl"}};

std::string parenthesised(Random& r, const std::string& inside) {
  return r.one_in(4) ? "[" + inside + "]" : "(" + inside + ")";
}

Operand hl_memory(Random& r) { return {parenthesised(r, "hl"), "(hl)"}; }

Operand index_byte(Random& r, const std::string& name) {
  const bool alias = r.one_in(3);
  return {alias ? INDEX_BYTE_ALIASES.at(name) : name, name};
}

Operand condition(Random& r) {
  const std::string& name = r.pick(CONDITIONS);
  auto alias = CONDITION_ALIASES.find(name);
  if (alias != CONDITION_ALIASES.end() && r.one_in(3)) return {alias->second, name};
  return {name, name};
}

// (ix+d) or (iy+d) in one of its spellings.
Operand indexed(Random& r) {
  const std::string reg = r.one_in(2) ? "ix" : "iy";
  const int d = r.range(-128, 127);
  std::string inside;
  if (d == 0 && r.one_in(3)) {
    inside = reg;
  } else if (d >= 0) {
    inside = reg + "+" + expression(r, static_cast<uint32_t>(d));
  } else if (r.one_in(4)) {
    inside = reg + "+-" + literal(r, static_cast<uint32_t>(-d));
  } else {
    inside = reg + "-" + expression(r, static_cast<uint32_t>(-d));  // the whole sum is negated
  }
  return {parenthesised(r, inside), "(" + reg + (d < 0 ? "-" : "+") + decimal(d < 0 ? -d : d) + ")"};
}

Operand immediate8(Random& r) {
  const int value = r.range(-128, 255);
  return {signed_expression(r, value), decimal(value & 0xFF)};
}

// A 16-bit immediate or jump target: -32768 is refused as a target.
Operand immediate16(Random& r) {
  const int value = r.one_in(8) ? r.range(-32767, -1) : r.range(0, 65535);
  return {signed_expression(r, value), decimal(value & 0xFFFF)};
}

Operand address(Random& r) {
  const int value = r.range(0, 65535);
  return {parenthesised(r, expression(r, static_cast<uint32_t>(value))), in_parentheses(decimal(value))};
}

Operand port(Random& r) {
  const int value = r.range(0, 255);
  return {parenthesised(r, expression(r, static_cast<uint32_t>(value))), in_parentheses(decimal(value))};
}

// An 8-bit source operand of the arithmetic and logic group at this level.
Operand alu_source(Random& r, int level) {
  for (;;) {
    switch (r.below(5)) {
      case 0:
      case 1: {
        const std::string& reg = r.pick(REGISTERS);
        return {reg, reg};
      }
      case 2:
        return hl_memory(r);
      case 3:
        return immediate8(r);
      default:
        if (index_bytes(level) && r.one_in(2)) return index_byte(r, r.pick(INDEX_BYTES));
        if (z80(level)) return indexed(r);
    }
  }
}

// ---- statements ----------------------------------------------------------

Statement one(const std::string& source, const std::string& canonical) { return {source, {canonical}, true}; }
Statement unknown(const std::string& source) { return {source, {}, false}; }
// An addition of the Z180: GNU as knows it, z80dasm does not.
Statement z180(const std::string& source, const std::string& canonical) { return {source, {canonical}, false}; }

Statement load_statement(Random& r, int level) {
  for (;;) {
    switch (r.below(15)) {
      case 0: {  // ld r,r' (also ld a,a: a move that does nothing is still encoded)
        const std::string& t = r.pick(REGISTERS);
        const std::string& s = r.pick(REGISTERS);
        return one("ld " + t + "," + s, "ld " + t + "," + s);
      }
      case 1: {  // ld r,(hl) and ld (hl),r
        const std::string& reg = r.pick(REGISTERS);
        const Operand m = hl_memory(r);
        if (r.one_in(2)) return one("ld " + reg + "," + m.source, "ld " + reg + ",(hl)");
        return one("ld " + m.source + "," + reg, "ld (hl)," + reg);
      }
      case 2: {  // ld r,n and ld (hl),n
        const Operand n = immediate8(r);
        if (r.one_in(4)) {
          const Operand m = hl_memory(r);
          return one("ld " + m.source + "," + n.source, "ld (hl)," + n.canonical);
        }
        const std::string& reg = r.pick(REGISTERS);
        return one("ld " + reg + "," + n.source, "ld " + reg + "," + n.canonical);
      }
      case 3: {  // ld a,(bc)/(de) and back
        const std::string pair = r.one_in(2) ? "bc" : "de";
        const std::string m = parenthesised(r, pair);
        if (r.one_in(2)) return one("ld a," + m, "ld a,(" + pair + ")");
        return one("ld " + m + ",a", "ld (" + pair + "),a");
      }
      case 4: {  // ld a,(nn) and ld (nn),a
        const Operand nn = address(r);
        if (r.one_in(2)) return one("ld a," + nn.source, "ld a," + nn.canonical);
        return one("ld " + nn.source + ",a", "ld " + nn.canonical + ",a");
      }
      case 5: {  // ld rr,nn
        std::vector<std::string> pairs = {"bc", "de", "hl", "sp"};
        if (z80(level)) pairs.insert(pairs.end(), {"ix", "iy"});
        const std::string& rr = r.pick(pairs);
        const Operand nn = immediate16(r);
        return one("ld " + rr + "," + nn.source, "ld " + rr + "," + nn.canonical);
      }
      case 6: {  // ld rr,(nn) and ld (nn),rr
        std::vector<std::string> pairs = {"hl"};
        if (z80(level)) pairs.insert(pairs.end(), {"bc", "de", "sp", "ix", "iy"});
        const std::string& rr = r.pick(pairs);
        const Operand nn = address(r);
        if (r.one_in(2)) return one("ld " + rr + "," + nn.source, "ld " + rr + "," + nn.canonical);
        return one("ld " + nn.source + "," + rr, "ld " + nn.canonical + "," + rr);
      }
      case 7: {  // ld sp,hl/ix/iy
        std::vector<std::string> sources = {"hl"};
        if (z80(level)) sources.insert(sources.end(), {"ix", "iy"});
        const std::string& s = r.pick(sources);
        return one("ld sp," + s, "ld sp," + s);
      }
      case 8: {  // register pair moves made of two 8-bit moves
        static const std::vector<std::vector<std::string>> moves = {
            {"hl", "bc", "ld h,b", "ld l,c"}, {"hl", "de", "ld h,d", "ld l,e"}, {"de", "bc", "ld d,b", "ld e,c"},
            {"de", "hl", "ld d,h", "ld e,l"}, {"bc", "de", "ld b,d", "ld c,e"}, {"bc", "hl", "ld b,h", "ld c,l"}};
        static const std::vector<std::vector<std::string>> index_moves = {
            {"ix", "bc", "ld ixh,b", "ld ixl,c"}, {"ix", "de", "ld ixh,d", "ld ixl,e"},
            {"iy", "bc", "ld iyh,b", "ld iyl,c"}, {"iy", "de", "ld iyh,d", "ld iyl,e"},
            {"bc", "ix", "ld b,ixh", "ld c,ixl"}, {"bc", "iy", "ld b,iyh", "ld c,iyl"},
            {"de", "ix", "ld d,ixh", "ld e,ixl"}, {"de", "iy", "ld d,iyh", "ld e,iyl"}};
        const auto& move = z80(level) && r.one_in(2) ? index_moves[r.below(8)] : moves[r.below(6)];
        return {"ld " + move[0] + "," + move[1], {move[2], move[3]}, true};
      }
      case 9:  // ld a,i / ld a,r / ld i,a / ld r,a
        if (z80(level)) {
          const std::string reg = r.one_in(2) ? "i" : "r";
          if (r.one_in(2)) return one("ld a," + reg, "ld a," + reg);
          return one("ld " + reg + ",a", "ld " + reg + ",a");
        }
        break;
      case 10:  // ld r,(ix+d) and ld (ix+d),r
        if (z80(level)) {
          const std::string& reg = r.pick(REGISTERS);
          const Operand m = indexed(r);
          if (r.one_in(2)) return one("ld " + reg + "," + m.source, "ld " + reg + "," + m.canonical);
          return one("ld " + m.source + "," + reg, "ld " + m.canonical + "," + reg);
        }
        break;
      case 11:  // ld (ix+d),n
        if (z80(level)) {
          const Operand m = indexed(r);
          const Operand n = immediate8(r);
          return one("ld " + m.source + "," + n.source, "ld " + m.canonical + "," + n.canonical);
        }
        break;
      case 12:  // ld a/b/c/d/e,index byte and back
        if (index_bytes(level)) {
          static const std::vector<std::string> partners = {"a", "b", "c", "d", "e"};
          const std::string& reg = r.pick(partners);
          const Operand x = index_byte(r, r.pick(INDEX_BYTES));
          if (r.one_in(2)) return one("ld " + reg + "," + x.source, "ld " + reg + "," + x.canonical);
          return one("ld " + x.source + "," + reg, "ld " + x.canonical + "," + reg);
        }
        break;
      case 13:  // ld index byte,n
        if (index_bytes(level)) {
          const Operand x = index_byte(r, r.pick(INDEX_BYTES));
          const Operand n = immediate8(r);
          return one("ld " + x.source + "," + n.source, "ld " + x.canonical + "," + n.canonical);
        }
        break;
      default:  // ld index byte,index byte of the same register
        if (index_bytes(level)) {
          const std::string base = r.one_in(2) ? "ix" : "iy";
          const Operand t = index_byte(r, base + (r.one_in(2) ? "h" : "l"));
          const Operand s = index_byte(r, base + (r.one_in(2) ? "h" : "l"));
          return one("ld " + t.source + "," + s.source, "ld " + t.canonical + "," + s.canonical);
        }
        break;
    }
  }
}

Statement alu_statement(Random& r, int level) {
  static const std::vector<std::string> with_a = {"add", "adc", "sbc"};
  static const std::vector<std::string> plain = {"sub", "and", "xor", "or", "cp"};
  const Operand s = alu_source(r, level);
  if (r.one_in(2)) {
    const std::string& op = r.pick(with_a);
    return one(op + (r.one_in(3) ? " " : " a,") + s.source, op + " a," + s.canonical);
  }
  const std::string& op = r.pick(plain);
  return one(op + (r.one_in(3) ? " a," : " ") + s.source, op + " " + s.canonical);
}

Statement arith16_statement(Random& r, int level) {
  if (z80(level) && r.one_in(3)) {
    const std::string op = r.one_in(2) ? "adc" : "sbc";
    static const std::vector<std::string> sources = {"bc", "de", "hl", "sp"};
    const std::string& s = r.pick(sources);
    return one(op + " hl," + s, op + " hl," + s);
  }
  std::string target = "hl";
  if (z80(level) && r.one_in(2)) target = r.one_in(2) ? "ix" : "iy";
  const std::vector<std::string> sources = {"bc", "de", target, "sp"};
  const std::string& s = r.pick(sources);
  return one("add " + target + "," + s, "add " + target + "," + s);
}

Statement incdec_statement(Random& r, int level) {
  const std::string op = r.one_in(2) ? "inc" : "dec";
  for (;;) {
    switch (r.below(6)) {
      case 0: {
        const std::string& reg = r.pick(REGISTERS);
        return one(op + " " + reg, op + " " + reg);
      }
      case 1: {
        const Operand m = hl_memory(r);
        return one(op + " " + m.source, op + " (hl)");
      }
      case 2: {
        static const std::vector<std::string> pairs = {"bc", "de", "hl", "sp"};
        const std::string& rr = r.pick(pairs);
        return one(op + " " + rr, op + " " + rr);
      }
      case 3:
        if (z80(level)) {
          const std::string rr = r.one_in(2) ? "ix" : "iy";
          return one(op + " " + rr, op + " " + rr);
        }
        break;
      case 4:
        if (z80(level)) {
          const Operand m = indexed(r);
          return one(op + " " + m.source, op + " " + m.canonical);
        }
        break;
      default:
        if (index_bytes(level)) {
          const Operand x = index_byte(r, r.pick(INDEX_BYTES));
          return one(op + " " + x.source, op + " " + x.canonical);
        }
        break;
    }
  }
}

// The operand of the shifts and of bit, res and set.
Operand cb_operand(Random& r) {
  switch (r.below(4)) {
    case 0:
      return hl_memory(r);
    case 1:
      return indexed(r);
    default: {
      const std::string& reg = r.pick(REGISTERS);
      return {reg, reg};
    }
  }
}

Statement shift_statement(Random& r) {
  // Spelling in the source, spelling in the disassembly.
  static const std::vector<std::pair<std::string, std::string>> shifts = {
      {"rlc", "rlc"}, {"rrc", "rrc"}, {"rl", "rl"},   {"rr", "rr"},   {"sla", "sla"}, {"sl", "sla"},
      {"shl", "sla"}, {"sra", "sra"}, {"srl", "srl"}, {"sr", "srl"}, {"shr", "srl"}};
  const auto& shift = shifts[r.below(static_cast<int>(shifts.size()))];
  const Operand m = cb_operand(r);
  return one(shift.first + " " + m.source, shift.second + " " + m.canonical);
}

Statement bit_statement(Random& r) {
  static const std::vector<std::string> ops = {"bit", "res", "set"};
  const std::string& op = r.pick(ops);
  const int bit = r.range(0, 7);
  const Operand m = cb_operand(r);
  return one(op + " " + expression(r, static_cast<uint32_t>(bit)) + "," + m.source,
             op + " " + decimal(bit) + "," + m.canonical);
}

Statement stack_statement(Random& r, int level) {
  std::vector<std::string> pairs = {"bc", "de", "hl", "af"};
  if (z80(level)) pairs.insert(pairs.end(), {"ix", "iy"});
  const bool push = r.one_in(2);
  const int count = r.one_in(2) ? 1 : r.range(2, 4);
  std::vector<std::string> list;
  for (int i = 0; i < count; ++i) list.push_back(r.pick(pairs));
  Statement statement{push ? "push " : "pop ", {}, true};
  for (int i = 0; i < count; ++i) statement.source += (i == 0 ? "" : ",") + list[i];
  // push places the registers in source order, pop in reverse order.
  for (int i = 0; i < count; ++i) {
    statement.expected.push_back((push ? "push " : "pop ") + list[push ? i : count - 1 - i]);
  }
  return statement;
}

Statement exchange_statement(Random& r, int level) {
  for (;;) {
    switch (r.below(4)) {
      case 0:
        return one(r.one_in(2) ? "ex de,hl" : "ex hl,de", "ex de,hl");
      case 1: {
        const std::string sp = parenthesised(r, "sp");
        return one(r.one_in(2) ? "ex " + sp + ",hl" : "ex hl," + sp, "ex (sp),hl");
      }
      case 2:
        if (z80(level)) return one("ex af,af'", "ex af,af'");
        break;
      default:
        if (z80(level)) {
          const std::string reg = r.one_in(2) ? "ix" : "iy";
          const std::string sp = parenthesised(r, "sp");
          return one(r.one_in(2) ? "ex " + sp + "," + reg : "ex " + reg + "," + sp, "ex (sp)," + reg);
        }
        break;
    }
  }
}

Statement fixed_statement(Random& r, int level) {
  // Source spelling, disassembly.
  static const std::vector<std::pair<std::string, std::string>> common = {
      {"nop", "nop"},   {"halt", "halt"}, {"di", "di"},     {"ei", "ei"},         {"daa", "daa"},
      {"cpl", "cpl"},   {"cpl a", "cpl"}, {"ccf", "ccf"},   {"scf", "scf"},       {"rlca", "rlca"},
      {"rrca", "rrca"}, {"rla", "rla"},   {"rra", "rra"},   {"disable", "di"},    {"enable", "ei"},
      {"stc", "scf"},   {"ret", "ret"}};
  static const std::vector<std::string> z80_only = {"exx", "reti", "retn", "rld",  "rrd",  "ldi",  "ldir",
                                                    "ldd", "lddr", "cpi",  "cpir", "cpd",  "cpdr", "ini",
                                                    "inir", "ind", "indr", "outi", "otir", "outd", "otdr"};
  if (z80(level) && r.one_in(2)) {
    const std::string& op = r.pick(z80_only);
    return one(op, op);
  }
  const auto& fixed = common[r.below(static_cast<int>(common.size()))];
  return one(fixed.first, fixed.second);
}

Statement negate_statement(Random& r, int level) {
  const std::string source = r.one_in(3) ? "neg a" : "neg";
  if (z80(level)) return one(source, "neg");
  return {source, {"cpl", "inc a"}, true};  // the 8080 has no neg
}

Statement branch_statement(Random& r, int level) {
  for (;;) {
    switch (r.below(9)) {
      case 0: {
        const Operand target = immediate16(r);
        return one("jp " + target.source, "jp " + target.canonical);
      }
      case 1: {
        const Operand cc = condition(r);
        const Operand target = immediate16(r);
        return one("jp " + cc.source + "," + target.source, "jp " + cc.canonical + "," + target.canonical);
      }
      case 2: {
        const Operand target = immediate16(r);
        return one("call " + target.source, "call " + target.canonical);
      }
      case 3: {
        const Operand cc = condition(r);
        const Operand target = immediate16(r);
        return one("call " + cc.source + "," + target.source, "call " + cc.canonical + "," + target.canonical);
      }
      case 4: {
        const Operand cc = condition(r);
        return one("ret " + cc.source, "ret " + cc.canonical);
      }
      case 5: {
        const int restart = r.range(0, 7) * 8;
        return one("rst " + expression(r, static_cast<uint32_t>(restart)), "rst " + decimal(restart));
      }
      case 6: {
        std::vector<std::string> registers = {"hl"};
        if (z80(level)) registers.insert(registers.end(), {"ix", "iy"});
        const std::string& reg = r.pick(registers);
        return one("jp " + parenthesised(r, reg), "jp (" + reg + ")");
      }
      default:
        if (z80(level)) {
          // Relative: the disassembly shows the target as $ plus the
          // distance from the instruction's first byte.
          const int distance = r.range(-126, 129);
          const std::string where = distance < 0 ? "$-" + literal(r, static_cast<uint32_t>(-distance))
                                                 : "$+" + literal(r, static_cast<uint32_t>(distance));
          const std::string shown = (distance < 0 ? "$-" : "$+") + decimal(distance < 0 ? -distance : distance);
          switch (r.below(3)) {
            case 0:
              return one("djnz " + where, "djnz " + shown);
            case 1:
              return one("jr " + where, "jr " + shown);
            default: {
              static const std::vector<std::string> relative = {"nz", "z", "nc", "c"};
              const std::string& cc = r.pick(relative);
              return one("jr " + cc + "," + where, "jr " + cc + "," + shown);
            }
          }
        }
        break;
    }
  }
}

Statement io_statement(Random& r, int level) {
  for (;;) {
    switch (r.below(6)) {
      case 0: {
        const Operand p = port(r);
        return one("in a," + p.source, "in a," + p.canonical);
      }
      case 1: {
        const Operand p = port(r);
        return one("out " + p.source + ",a", "out " + p.canonical + ",a");
      }
      case 2:
        if (z80(level)) {
          const std::string& reg = r.pick(REGISTERS);
          return one("in " + reg + "," + parenthesised(r, "c"), "in " + reg + ",(c)");
        }
        break;
      case 3:
        if (z80(level)) {
          const std::string& reg = r.pick(REGISTERS);
          return one("out " + parenthesised(r, "c") + "," + reg, "out (c)," + reg);
        }
        break;
      case 4:
        if (z80(level)) {
          // ED 70, which z80dasm names after its flag effect.
          return one((r.one_in(2) ? "in " : "tsti ") + parenthesised(r, "c"), "in f,(c)");
        }
        break;
      default:
        if (z80(level)) {
          const int mode = r.range(0, 2);
          return one("im " + expression(r, static_cast<uint32_t>(mode)), "im " + decimal(mode));
        }
        break;
    }
  }
}

// in0 r,(n) and out0 (n),r, as the source spells them: in0 and out0 with
// any register, or in and out with a register other than a.
Statement z180_input(Random& r, const std::string& mnemonic, const std::vector<std::string>& registers) {
  const std::string& reg = r.pick(registers);
  const Operand p = port(r);
  return z180(mnemonic + " " + reg + "," + p.source, "in0 " + reg + "," + p.canonical);
}
Statement z180_output(Random& r, const std::string& mnemonic, const std::vector<std::string>& registers) {
  const std::string& reg = r.pick(registers);
  const Operand p = port(r);
  return z180(mnemonic + " " + p.source + "," + reg, "out0 " + p.canonical + "," + reg);
}

// The additions of the 8085, the Z180 and the Z280, which z80dasm does not
// know; they must assemble. GNU as knows the Z180 ones.
Statement extension_statement(Random& r, int level) {
  if (level == 1) return unknown(r.one_in(2) ? "rim" : "sim");
  if (level == 5) return unknown("im 3");
  static const std::vector<std::string> fixed = {"otim", "otimr", "otdm", "otdmr", "slp"};
  static const std::vector<std::string> six = {"b", "c", "d", "e", "h", "l"};
  static const std::vector<std::string> pairs = {"bc", "de", "hl", "sp"};
  switch (r.below(8)) {
    case 0: {
      const std::string& op = r.pick(fixed);
      return z180(op, op);
    }
    case 1:
      return z180_input(r, "in0", REGISTERS);
    case 2:
      return z180_output(r, "out0", REGISTERS);
    case 3: {
      const std::string& rr = r.pick(pairs);
      return z180("mlt " + rr, "mlt " + rr);
    }
    case 4: {
      switch (r.below(3)) {
        case 0: {
          const std::string& reg = r.pick(REGISTERS);
          return z180("tst " + reg, "tst " + reg);
        }
        case 1:
          return z180("tst " + hl_memory(r).source, "tst (hl)");
        default: {
          const Operand n = immediate8(r);
          return z180("tst " + n.source, "tst " + n.canonical);
        }
      }
    }
    case 5: {
      const Operand n = immediate8(r);
      return z180("tstio " + n.source, "tstio " + n.canonical);
    }
    case 6:
      return z180_input(r, "in", six);
    default:
      return z180_output(r, "out", six);
  }
}

}  // namespace

Statement random_statement(Random& r, int level) {
  for (;;) {
    switch (r.below(16)) {
      case 0:
      case 1:
      case 2:
        return load_statement(r, level);
      case 3:
      case 4:
        return alu_statement(r, level);
      case 5:
        return arith16_statement(r, level);
      case 6:
        return incdec_statement(r, level);
      case 7:
        if (z80(level)) return shift_statement(r);
        break;
      case 8:
        if (z80(level)) return bit_statement(r);
        break;
      case 9:
        return stack_statement(r, level);
      case 10:
        return exchange_statement(r, level);
      case 11:
        return fixed_statement(r, level);
      case 12:
        return negate_statement(r, level);
      case 13:
        return branch_statement(r, level);
      case 14:
        return io_statement(r, level);
      default:
        if (level == 1 || level == 4 || level == 5) return extension_statement(r, level);
        break;
    }
  }
}

}  // namespace zorm::test
