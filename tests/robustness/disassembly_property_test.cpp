// Property: every instruction statement that ZORM accepts assembles to the
// bytes that an independent disassembler (z80dasm) reads back as the same
// statement.
//
// For each processor level a seeded random program of valid statements is
// generated, one statement per 16-byte slot (an org before each), assembled in
// process with branch optimisation off (-n) and zero fill (-z), and the object
// is disassembled with z80dasm. Each statement carries the text z80dasm is
// expected to print for it, in a canonical spelling (numbers in decimal, no
// blanks inside the operands), one entry per machine instruction: a register
// pair move such as ld hl,bc is two instructions, push bc,de is two, neg on the
// 8080 is cpl and inc a. The instructions must fill the statement's bytes
// exactly. At the 8080 and 8085 levels ZORM emits 8080 opcodes for the Z80
// mnemonics, which z80dasm prints in Z80 syntax, so the same comparison holds.
//
// Statements that z80dasm does not know (the Z180 additions, im 3 of the
// Z280, rim and sim of the 8085) are still generated and must assemble, but
// their bytes are not compared; the test reports how many it compared.
//
// The source side exercises the number notations (decimal, 0x, $, #, %, @,
// 0b, radix#digits), small sums and differences, brackets for memory operands,
// the alternative spellings (xh, nv, shl, disable, ...) and the negated
// displacement (ix-a+b) = ix-(a+b).

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/assemble.h"

namespace zorm::test {
namespace {

// The suite always runs with this seed; ZORM_PROPERTY_SEED=<number> in the
// environment explores other programs (a failure names the seed it used).
constexpr uint32_t SEED = 0x20A7F00D;

uint32_t base_seed() {
  const char* text = std::getenv("ZORM_PROPERTY_SEED");
  return text != nullptr && *text != '\0' ? static_cast<uint32_t>(std::strtoul(text, nullptr, 0)) : SEED;
}
constexpr int STATEMENTS_PER_LEVEL = 800;
constexpr uint32_t SLOT = 16;  // bytes reserved per statement; none is longer

bool z80dasm_available() { return std::system("command -v z80dasm >/dev/null 2>&1") == 0; }

class Random {
 public:
  explicit Random(uint32_t seed) : engine_(seed) {}
  // Plain modulo on the engine's output keeps the sequence the same with
  // every standard library.
  int below(int n) { return static_cast<int>(engine_() % static_cast<uint32_t>(n)); }
  int range(int low, int high) { return low + below(high - low + 1); }
  bool one_in(int n) { return below(n) == 0; }
  const std::string& pick(const std::vector<std::string>& items) { return items[below(static_cast<int>(items.size()))]; }

  // Names the program uses before it defines them (equ lines at its end), so
  // that pass 1 meets unknown values and must still choose the final length.
  std::string forward_name(uint32_t value) {
    const std::string name = "fwd" + std::to_string(definitions_.size());
    definitions_.push_back(name + " equ " + std::to_string(value));
    return name;
  }
  const std::vector<std::string>& definitions() const { return definitions_; }

 private:
  std::vector<std::string> definitions_;
  std::mt19937 engine_;
};

// One operand: how the source writes it and how the disassembly shows it.
struct Operand {
  std::string source;
  std::string canonical;
};

// One generated statement.
struct Statement {
  std::string source;
  std::vector<std::string> expected;  // canonical disassembly, one line per instruction
  bool comparable = true;             // false: z80dasm does not know this encoding
};

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

std::string signed_expression(Random& r, int32_t value) {
  if (value < 0) return "-" + literal(r, static_cast<uint32_t>(-value));
  return expression(r, static_cast<uint32_t>(value));
}

std::string decimal(int32_t value) { return std::to_string(value); }

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

bool z80(int level) { return level >= 2; }
bool index_bytes(int level) { return level == 3 || level == 5; }

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

Operand immediate16(Random& r) {
  const int value = r.one_in(8) ? r.range(-32768, -1) : r.range(0, 65535);
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

// The additions of the 8085, the Z180 and the Z280, which z80dasm does not
// know; they must assemble.
Statement extension_statement(Random& r, int level) {
  if (level == 1) return unknown(r.one_in(2) ? "rim" : "sim");
  if (level == 5) return unknown("im 3");
  static const std::vector<std::string> fixed = {"otim", "otimr", "otdm", "otdmr", "slp"};
  static const std::vector<std::string> six = {"b", "c", "d", "e", "h", "l"};
  static const std::vector<std::string> pairs = {"bc", "de", "hl", "sp"};
  switch (r.below(8)) {
    case 0:
      return unknown(r.pick(fixed));
    case 1:
      return unknown("in0 " + r.pick(REGISTERS) + "," + port(r).source);
    case 2:
      return unknown("out0 " + port(r).source + "," + r.pick(REGISTERS));
    case 3:
      return unknown("mlt " + r.pick(pairs));
    case 4: {
      std::string s;
      switch (r.below(3)) {
        case 0:
          s = r.pick(REGISTERS);
          break;
        case 1:
          s = hl_memory(r).source;
          break;
        default:
          s = immediate8(r).source;
      }
      return unknown("tst " + s);
    }
    case 5:
      return unknown("tstio " + immediate8(r).source);
    case 6:  // in and out with a register other than a and a port are in0 and out0
      return unknown("in " + r.pick(six) + "," + port(r).source);
    default:
      return unknown("out " + port(r).source + "," + r.pick(six));
  }
}

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

// ---- the disassembly -----------------------------------------------------

// z80dasm's spelling made canonical: lower case, the mnemonic and one blank,
// the operands without blanks, every number (0ffh, 005h, 38h, 129) in decimal.
std::string canonical(const std::string& text) {
  std::string mnemonic;
  std::string operands;
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  while (i < text.size() && text[i] != ' ' && text[i] != '\t') mnemonic += static_cast<char>(std::tolower(text[i++]));
  for (; i < text.size(); ++i) {
    const char c = static_cast<char>(std::tolower(text[i]));
    if (c == ' ' || c == '\t') continue;
    if (std::isdigit(static_cast<unsigned char>(c)) &&
        (operands.empty() || !std::isalnum(static_cast<unsigned char>(operands.back())))) {
      size_t end = i;
      while (end < text.size() && std::isxdigit(static_cast<unsigned char>(text[end]))) ++end;
      const bool hex = end < text.size() && std::tolower(text[end]) == 'h';
      const long value = std::strtol(text.substr(i, end - i).c_str(), nullptr, hex ? 16 : 10);
      operands += std::to_string(value);
      i = hex ? end : end - 1;
      continue;
    }
    operands += c;
  }
  return operands.empty() ? mnemonic : mnemonic + " " + operands;
}

// The disassembly of a binary loaded at address 0: canonical text by address.
std::map<uint32_t, std::string> disassemble(const std::string& binary, const std::string& listing) {
  const std::string command = "z80dasm -u -a -g 0 -o '" + listing + "' '" + binary + "' 2>/dev/null";
  std::map<uint32_t, std::string> lines;
  if (std::system(command.c_str()) != 0) return lines;
  std::ifstream in(listing);
  std::string line;
  while (std::getline(in, line)) {
    // Instruction lines end with ";AAAA", the address in hex.
    const size_t last = line.rfind(';');
    if (last == std::string::npos || line.size() - last != 5) continue;
    const size_t first = line.find(';');
    lines[static_cast<uint32_t>(std::stoul(line.substr(last + 1), nullptr, 16))] = canonical(line.substr(0, first));
  }
  return lines;
}

std::string hex_bytes(const RunResult& run, uint32_t address, uint32_t count) {
  std::string text;
  char buffer[4];
  for (uint8_t byte : run.bytes(address, count)) {
    std::snprintf(buffer, sizeof buffer, "%02X", byte);
    text += (text.empty() ? "" : " ") + std::string(buffer);
  }
  return text;
}

struct Level {
  int level;
  const char* option;
};

void PrintTo(const Level& level, std::ostream* out) { *out << level.option; }

class DisassemblyProperty : public ::testing::TestWithParam<Level> {};

TEST_P(DisassemblyProperty, StatementsReadBackAsWritten) {
  if (!z80dasm_available()) GTEST_SKIP() << "z80dasm is not installed; the property is not checked";
  const Level level = GetParam();
  const uint32_t seed = base_seed() + static_cast<uint32_t>(level.level);
  Random random(seed);

  std::vector<Statement> statements;
  std::string source;
  for (int i = 0; i < STATEMENTS_PER_LEVEL; ++i) {
    statements.push_back(random_statement(random, level.level));
    source += "\torg " + std::to_string(i * SLOT) + "\n\t" + statements.back().source + "\n";
  }
  // A last byte behind the final slot, so that every slot is followed by
  // something the disassembler decodes from its own first byte.
  source += "\torg " + std::to_string(STATEMENTS_PER_LEVEL * SLOT) + "\n\tnop\n";
  for (const std::string& definition : random.definitions()) source += definition + "\n";

  auto a = assemble(source, {level.option, "-n", "-z", "+q"});
  ASSERT_EQ(a->run.status, 0) << "seed " << seed << ", level " << level.level << ": a valid statement was refused\n"
                              << a->run.out.substr(0, 3000);
  const auto disassembly = disassemble(a->dir.file("t.bin"), a->dir.file("t.dis"));
  ASSERT_FALSE(disassembly.empty()) << "z80dasm failed";

  const MemoryImage& image = a->run.assembler->image;
  int compared = 0;
  int mismatches = 0;
  for (int i = 0; i < STATEMENTS_PER_LEVEL; ++i) {
    const Statement& statement = statements[static_cast<size_t>(i)];
    const uint32_t start = static_cast<uint32_t>(i) * SLOT;
    uint32_t length = 0;
    while (length < SLOT && image.used(start + length)) ++length;
    ASSERT_GT(length, 0u) << statement.source << " placed no bytes";
    ASSERT_LT(length, SLOT) << statement.source << " overran its slot";
    if (!statement.comparable) continue;
    ++compared;

    // The instructions found from the first byte up to the statement's end.
    std::vector<std::string> found;
    auto line = disassembly.find(start);
    for (; line != disassembly.end() && line->first < start + length; ++line) found.push_back(line->second);
    const bool ends_exactly = line != disassembly.end() && line->first == start + length;
    const bool starts_exactly = disassembly.count(start) == 1;
    if (found == statement.expected && ends_exactly && starts_exactly) continue;

    if (++mismatches <= 20) {
      std::string shown;
      for (const std::string& text : found) shown += (shown.empty() ? "" : " | ") + text;
      std::string wanted;
      for (const std::string& text : statement.expected) wanted += (wanted.empty() ? "" : " | ") + text;
      ADD_FAILURE() << "seed " << seed << ", level " << level.level << ": \"" << statement.source
                    << "\" assembled to " << hex_bytes(a->run, start, length) << ", read back as \"" << shown
                    << "\", expected \"" << wanted << "\"" << (ends_exactly ? "" : " (instruction lengths differ)");
    }
  }
  EXPECT_EQ(mismatches, 0);
  // Most statements at every level are instructions z80dasm knows.
  EXPECT_GT(compared, STATEMENTS_PER_LEVEL * 3 / 4);
  RecordProperty("compared", compared);
}

std::string level_name(const ::testing::TestParamInfo<Level>& info) {
  static const char* const names[] = {"I8080", "I8085", "Z80", "Z80IndexBytes", "Z180", "Z280"};
  return names[info.param.level];
}

INSTANTIATE_TEST_SUITE_P(EveryProcessorLevel, DisassemblyProperty,
                         ::testing::Values(Level{0, "-x0"}, Level{1, "-x1"}, Level{2, "-x2"}, Level{3, "-x3"},
                                           Level{4, "-x4"}, Level{5, "-x5"}),
                         level_name);

// The canonical spelling itself, on z80dasm's forms.
TEST(DisassemblyCanonicalForm, NumbersBecomeDecimal) {
  EXPECT_EQ(canonical("\tld a,(ix+005h)\t\t"), "ld a,(ix+5)");
  EXPECT_EQ(canonical("\tld (iy-080h),0ffh"), "ld (iy-128),255");
  EXPECT_EQ(canonical("\trst 38h"), "rst 56");
  EXPECT_EQ(canonical("\tjr nz,$-126"), "jr nz,$-126");
  EXPECT_EQ(canonical("\tex af,af'"), "ex af,af'");
  EXPECT_EQ(canonical("\tld ixh,005h"), "ld ixh,5");
  EXPECT_EQ(canonical("\tim 2"), "im 2");
  EXPECT_EQ(canonical("\tcall m,0ffffh"), "call m,65535");
}

}  // namespace
}  // namespace zorm::test
