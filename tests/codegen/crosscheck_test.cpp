// Cross-check of instruction bytes against an independent assembler, the GNU
// assembler for the Z80 (z80-unknown-coff-as and objcopy).
//
// Every form the encoders accept is generated over all its registers and a
// few operand values. Each statement gets its own 8-byte slot at a known
// address; both assemblers assemble the whole list once, and the slots are
// compared one by one. Branches are assembled with -n: with optimisation on
// the assembler deliberately picks other forms (tested in the branch tests).
//
// The 8080 and 8085 share their opcodes with the Z80 wherever both have an
// instruction, so the Intel levels are checked on the same output: the
// shared forms give the same bytes, every other form is refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "codegen/statement_outcome.h"
#include "support/peer_tools.h"

namespace zorm::test {
namespace {

constexpr uint32_t FIRST_SLOT = 0x400;  // room for relative targets below
constexpr uint32_t SLOT_SIZE = 8;

// How a statement fares on the 8080 and 8085.
enum class Intel { SAME, REFUSED, DIFFERENT };

struct Line {
  std::string zorm;  // "@" stands for the label of the statement's slot
  std::string gas;   // the same instruction(s) for the GNU assembler
  Intel intel;
};

class Lines {
 public:
  void add(const std::string& text, Intel intel) { lines.push_back({text, text, intel}); }
  void add(const std::string& text, const std::string& gas, Intel intel) { lines.push_back({text, gas, intel}); }
  std::vector<Line> lines;
};

const std::vector<std::string> REGISTERS = {"b", "c", "d", "e", "h", "l", "a"};
const std::vector<std::string> INDEXED = {"(ix+5)", "(iy-3)", "(ix+127)", "(iy-128)", "(ix)", "[iy+1]"};
const std::vector<std::string> BYTES = {"0x12", "255", "-128"};
const std::vector<std::string> CONDITIONS = {"nz", "z", "nc", "c", "po", "pe", "p", "m"};
const std::vector<std::string> INDEX_BYTES = {"ixh", "ixl", "iyh", "iyl"};

std::string gas_indexed(const std::string& operand) {
  if (operand == "(ix)") return "(ix+0)";
  if (operand == "[iy+1]") return "(iy+1)";
  return operand;
}

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The Z80 instruction set without the index byte registers.
std::vector<Line> z80_forms() {
  Lines l;
  using I = Intel;
  // 8-bit arithmetic and logic.
  for (const std::string op : {"add", "adc", "sub", "sbc", "and", "xor", "or", "cp"}) {
    const bool with_a = op == "add" || op == "adc" || op == "sbc";
    const std::string head = with_a ? op + " a," : op + " ";
    for (const auto& s : REGISTERS) l.add(head + s, I::SAME);
    for (const auto& s : BYTES) l.add(head + s, I::SAME);
    l.add(head + "(hl)", I::SAME);
    l.add(head + "[hl]", head + "(hl)", I::SAME);
    for (const auto& s : INDEXED) l.add(head + s, head + gas_indexed(s), I::REFUSED);
    // The other spelling.
    if (with_a) {
      l.add(op + " c", head + "c", I::SAME);
    } else {
      l.add(op + " a,c", head + "c", I::SAME);
    }
  }
  // In (ix-e) the whole of e is negated.
  l.add("and (ix-2+1)", "and (ix-3)", I::REFUSED);
  l.add("xor (iy+(-2+1))", "xor (iy-1)", I::REFUSED);
  // 16-bit arithmetic.
  for (const std::string rr : {"bc", "de", "hl", "sp"}) {
    l.add("add hl," + rr, I::SAME);
    l.add("adc hl," + rr, I::REFUSED);
    l.add("sbc hl," + rr, I::REFUSED);
  }
  for (const std::string x : {"ix", "iy"}) {
    for (const std::string& rr : std::vector<std::string>{"bc", "de", x, "sp"}) l.add("add " + x + "," + rr, I::REFUSED);
  }
  // Increment and decrement.
  for (const std::string op : {"inc", "dec"}) {
    for (const auto& r : REGISTERS) l.add(op + " " + r, I::SAME);
    l.add(op + " (hl)", I::SAME);
    for (const std::string rr : {"bc", "de", "hl", "sp"}) l.add(op + " " + rr, I::SAME);
    for (const std::string rr : {"ix", "iy"}) l.add(op + " " + rr, I::REFUSED);
    for (const auto& s : INDEXED) l.add(op + " " + s, op + " " + gas_indexed(s), I::REFUSED);
  }
  // Shifts, rotations and bit operations.
  for (const std::string op : {"rlc", "rrc", "rl", "rr", "sla", "sra", "srl"}) {
    for (const auto& r : REGISTERS) l.add(op + " " + r, I::REFUSED);
    l.add(op + " (hl)", I::REFUSED);
    for (const auto& s : INDEXED) l.add(op + " " + s, op + " " + gas_indexed(s), I::REFUSED);
  }
  for (const auto& [alias, name] : std::vector<std::pair<std::string, std::string>>{
           {"sl", "sla"}, {"shl", "sla"}, {"sr", "srl"}, {"shr", "srl"}}) {
    l.add(alias + " b", name + " b", I::REFUSED);
    l.add(alias + " (ix+1)", name + " (ix+1)", I::REFUSED);
  }
  for (const std::string op : {"bit", "res", "set"}) {
    for (int n = 0; n < 8; ++n) {
      const std::string head = op + ' ' + static_cast<char>('0' + n) + ',';
      for (const auto& r : REGISTERS) l.add(head + r, I::REFUSED);
      l.add(head + "(hl)", I::REFUSED);
      for (const auto& s : INDEXED) l.add(head + s, head + gas_indexed(s), I::REFUSED);
    }
  }
  // Stack, exchanges, interrupt modes, negation, returns.
  for (const std::string rr : {"bc", "de", "hl", "af"}) {
    l.add("push " + rr, I::SAME);
    l.add("pop " + rr, I::SAME);
  }
  for (const std::string rr : {"ix", "iy"}) {
    l.add("push " + rr, I::REFUSED);
    l.add("pop " + rr, I::REFUSED);
  }
  l.add("push bc,de,af", "push bc\n push de\n push af", I::SAME);
  l.add("pop bc,de,af", "pop af\n pop de\n pop bc", I::SAME);
  l.add("push ix,hl", "push ix\n push hl", I::REFUSED);
  l.add("pop ix,iy", "pop iy\n pop ix", I::REFUSED);
  l.add("ex de,hl", I::SAME);
  l.add("ex hl,de", "ex de,hl", I::SAME);
  l.add("ex (sp),hl", I::SAME);
  l.add("ex hl,(sp)", "ex (sp),hl", I::SAME);
  l.add("ex [sp],hl", "ex (sp),hl", I::SAME);
  l.add("ex af,af'", I::REFUSED);
  l.add("ex (sp),ix", I::REFUSED);
  l.add("ex (sp),iy", I::REFUSED);
  l.add("ex iy,(sp)", "ex (sp),iy", I::REFUSED);
  for (const std::string mode : {"0", "1", "2"}) l.add("im " + mode, I::REFUSED);
  l.add("neg", I::DIFFERENT);
  l.add("neg a", "neg", I::DIFFERENT);
  l.add("ret", I::SAME);
  for (const auto& cc : CONDITIONS) l.add("ret " + cc, I::SAME);
  for (const auto& [alias, cc] : std::vector<std::pair<std::string, std::string>>{
           {"nv", "po"}, {"v", "pe"}, {"ns", "p"}, {"s", "m"}}) {
    l.add("ret " + alias, "ret " + cc, I::SAME);
    l.add("jp " + alias + ",0x1234", "jp " + cc + ",0x1234", I::SAME);
  }
  // Fixed opcodes.
  for (const std::string op : {"ccf", "cpl", "daa", "di", "ei", "halt", "rla", "rlca", "rra", "rrca", "scf", "nop"}) {
    l.add(op, I::SAME);
  }
  l.add("stc", "scf", I::SAME);
  l.add("disable", "di", I::SAME);
  l.add("enable", "ei", I::SAME);
  l.add("cpl a", "cpl", I::SAME);
  l.add("nop 3", "nop\n nop\n nop", I::SAME);
  for (const std::string op : {"exx", "ldi", "ldir", "ldd", "lddr", "cpi", "cpir", "cpd", "cpdr", "ini", "inir", "ind",
                               "indr", "outi", "otir", "outd", "otdr", "reti", "retn", "rld", "rrd"}) {
    l.add(op, I::REFUSED);
  }
  // Loads.
  for (const auto& t : REGISTERS) {
    for (const auto& s : REGISTERS) l.add("ld " + t + "," + s, I::SAME);
    for (const auto& n : BYTES) l.add("ld " + t + "," + n, I::SAME);
    l.add("ld " + t + ",(hl)", I::SAME);
    l.add("ld (hl)," + t, I::SAME);
    for (const auto& s : INDEXED) {
      l.add("ld " + t + "," + s, "ld " + t + "," + gas_indexed(s), I::REFUSED);
      l.add("ld " + s + "," + t, "ld " + gas_indexed(s) + "," + t, I::REFUSED);
    }
  }
  l.add("ld (hl),0x12", I::SAME);
  l.add("ld [hl],-1", "ld (hl),255", I::SAME);
  for (const auto& s : INDEXED) l.add("ld " + s + ",0x12", "ld " + gas_indexed(s) + ",0x12", I::REFUSED);
  l.add("ld (ix-2+1),b", "ld (ix-3),b", I::REFUSED);
  for (const std::string p : {"(bc)", "(de)", "(0x1234)"}) {
    l.add("ld a," + p, I::SAME);
    l.add("ld " + p + ",a", I::SAME);
  }
  l.add("ld a,[de]", "ld a,(de)", I::SAME);
  l.add("ld [0x1234],a", "ld (0x1234),a", I::SAME);
  for (const std::string s : {"i", "r"}) {
    l.add("ld a," + s, I::REFUSED);
    l.add("ld " + s + ",a", I::REFUSED);
  }
  for (const std::string rr : {"bc", "de", "hl", "sp", "ix", "iy"}) {
    const Intel intel = rr == "ix" || rr == "iy" ? I::REFUSED : I::SAME;
    for (const std::string nn : {"0x1234", "-1", "0"}) l.add("ld " + rr + "," + nn, intel);
    const Intel indirect = rr == "hl" ? I::SAME : I::REFUSED;
    l.add("ld " + rr + ",(0x1234)", indirect);
    l.add("ld (0x1234)," + rr, indirect);
  }
  l.add("ld sp,hl", I::SAME);
  l.add("ld sp,ix", I::REFUSED);
  l.add("ld sp,iy", I::REFUSED);
  // Jumps and calls, relative targets given against the slot's label.
  for (const std::string nn : {"0x1234", "0", "0xffff"}) {
    l.add("jp " + nn, I::SAME);
    l.add("call " + nn, I::SAME);
  }
  for (const auto& cc : CONDITIONS) {
    l.add("jp " + cc + ",0x1234", I::SAME);
    l.add("call " + cc + ",0x38", I::SAME);
  }
  l.add("call 0x38", I::SAME);
  l.add("jp (hl)", I::SAME);
  l.add("jp [hl]", "jp (hl)", I::SAME);
  l.add("jp (ix)", I::REFUSED);
  l.add("jp (iy)", I::REFUSED);
  for (const std::string n : {"0", "8", "0x10", "0x18", "0x20", "0x28", "0x30", "0x38"}) l.add("rst " + n, I::SAME);
  for (const std::string target : {"@-126", "@+1", "@+2", "@+129"}) {  // displacements -128, -1, 0, 127
    l.add("jr " + target, I::REFUSED);
    l.add("djnz " + target, I::REFUSED);
    for (const std::string cc : {"nz", "z", "nc", "c"}) l.add("jr " + cc + "," + target, I::REFUSED);
  }
  // Input and output.
  l.add("in a,(0x12)", I::SAME);
  l.add("in a,[0xfe]", "in a,(0xfe)", I::SAME);
  l.add("out (0x12),a", I::SAME);
  for (const auto& r : REGISTERS) {
    l.add("in " + r + ",(c)", I::REFUSED);
    l.add("out (c)," + r, I::REFUSED);
  }
  l.add("in (c)", I::REFUSED);
  return l.lines;
}

// The forms with the index byte registers (levels 3 and 5 only).
std::vector<Line> index_byte_forms() {
  Lines l;
  for (const std::string op : {"add", "adc", "sub", "sbc", "and", "xor", "or", "cp"}) {
    const std::string head = op == "add" || op == "adc" || op == "sbc" ? op + " a," : op + " ";
    for (const auto& x : INDEX_BYTES) l.add(head + x, Intel::REFUSED);
  }
  for (const auto& x : INDEX_BYTES) {
    l.add("inc " + x, Intel::REFUSED);
    l.add("dec " + x, Intel::REFUSED);
    l.add("ld " + x + ",0x12", Intel::REFUSED);
    for (const std::string r : {"a", "b", "c", "d", "e"}) {
      l.add("ld " + x + "," + r, Intel::REFUSED);
      l.add("ld " + r + "," + x, Intel::REFUSED);
    }
    for (const auto& y : INDEX_BYTES) {
      if (x[1] == y[1]) l.add("ld " + x + "," + y, Intel::REFUSED);
    }
  }
  l.add("ld a,xh", "ld a,ixh", Intel::REFUSED);
  l.add("ld xl,b", "ld ixl,b", Intel::REFUSED);
  l.add("ld yh,yl", "ld iyh,iyl", Intel::REFUSED);
  l.add("cp yl", "cp iyl", Intel::REFUSED);
  return l.lines;
}

// The Z180 additions (level 4 only).
std::vector<Line> z180_forms() {
  Lines l;
  for (const auto& r : REGISTERS) {
    l.add("in0 " + r + ",(0x12)", Intel::REFUSED);
    l.add("out0 (0x12)," + r, Intel::REFUSED);
    l.add("tst " + r, Intel::REFUSED);
    if (r != "a") {
      // in and out with another register and an immediate port are in0 and
      // out0.
      l.add("in " + r + ",(0x34)", "in0 " + r + ",(0x34)", Intel::REFUSED);
      l.add("out (0x34)," + r, "out0 (0x34)," + r, Intel::REFUSED);
    }
  }
  l.add("tst (hl)", Intel::REFUSED);
  l.add("tst 0x12", Intel::REFUSED);
  l.add("tst a,c", "tst c", Intel::REFUSED);
  for (const std::string rr : {"bc", "de", "hl", "sp"}) l.add("mlt " + rr, Intel::REFUSED);
  l.add("tstio 0x12", Intel::REFUSED);
  l.add("tstio (0x10),0x12", "tstio 0x12", Intel::REFUSED);
  for (const std::string op : {"otim", "otimr", "otdm", "otdmr", "slp"}) l.add(op, Intel::REFUSED);
  return l.lines;
}

std::string slot_label(size_t k) {
  std::string label = "s";
  label += std::to_string(k);
  return label;
}
uint32_t slot_address(size_t k) { return FIRST_SLOT + static_cast<uint32_t>(k) * SLOT_SIZE; }

// One slot per statement: the origin, the slot's label, the statement.
std::string slotted_source(const std::vector<Line>& lines, bool gas) {
  const char* const indent = gas ? " " : "        ";
  std::string text;
  for (size_t k = 0; k < lines.size(); ++k) {
    text += indent;
    text += gas ? ".org " : "org ";
    text += std::to_string(slot_address(k));
    text += '\n';
    text += slot_label(k);
    text += ":\n";
    text += indent;
    text += replace_all(gas ? lines[k].gas : lines[k].zorm, "@", slot_label(k));
    text += '\n';
  }
  return text;
}

// The bytes the GNU assembler gives for the list, from address 0; an empty
// vector with the assembler's messages in `error` when it refused.
std::vector<uint8_t> gas_bytes(const std::vector<Line>& lines, const std::string& march, std::string& error) {
  const PeerOutput gas = gas_binary(slotted_source(lines, true), march);
  if (!gas.ok) {
    error = gas.messages;
    return {};
  }
  return std::vector<uint8_t>(gas.bytes.begin(), gas.bytes.end());
}

bool tools_missing() { return !gas_available(); }

enum class Expect { SAME_BYTES, REFUSED, IGNORED };

std::string hex(const std::vector<uint8_t>& bytes) {
  std::string text;
  char buffer[4];
  for (uint8_t b : bytes) {
    std::snprintf(buffer, sizeof buffer, "%02X", b);
    if (!text.empty()) text += ' ';
    text += buffer;
  }
  return text;
}

// Assembles the list at one level and checks every slot: the GNU bytes, or
// nothing placed and one "Syntax error" per refused statement.
template <typename Expectation>
void compare_level(const std::vector<Line>& lines, const std::vector<uint8_t>& gas, int level, Expectation expect) {
  std::string trace = "level ";
  trace += std::to_string(level);
  SCOPED_TRACE(trace);
  auto zorm = assemble(slotted_source(lines, false), {level_option(level), "-n", "-z", "-q"});
  size_t refused = 0;
  int mismatches = 0;
  for (size_t k = 0; k < lines.size(); ++k) {
    const Expect what = expect(lines[k]);
    if (what == Expect::IGNORED) continue;
    const uint32_t address = slot_address(k);
    std::vector<uint8_t> mine = zorm->bytes(address, SLOT_SIZE);
    std::vector<uint8_t> theirs(SLOT_SIZE, 0);
    if (what == Expect::REFUSED) {
      ++refused;
    } else {
      for (uint32_t i = 0; i < SLOT_SIZE && address + i < gas.size(); ++i) theirs[i] = gas[address + i];
    }
    if (mine != theirs && ++mismatches <= 25) {
      ADD_FAILURE() << lines[k].zorm << ": " << hex(mine) << ", expected " << hex(theirs)
                    << (what == Expect::REFUSED ? " (refused)" : "");
    }
  }
  size_t syntax_errors = 0;
  for (size_t at = zorm->run.out.find(" : Syntax error."); at != std::string::npos;
       at = zorm->run.out.find(" : Syntax error.", at + 1)) {
    ++syntax_errors;
  }
  EXPECT_EQ(syntax_errors, refused);
  if (refused == 0) {
    EXPECT_EQ(zorm->run.status, 0) << zorm->run.out.substr(0, 2000);
  }
}

TEST(EncodeCrossCheck, Z80InstructionSetAtEveryLevel) {
  if (tools_missing()) GTEST_SKIP() << "z80-unknown-coff-as / z80-unknown-coff-objcopy not installed";
  const std::vector<Line> lines = z80_forms();
  std::string error;
  const std::vector<uint8_t> gas = gas_bytes(lines, "z80", error);
  ASSERT_FALSE(gas.empty()) << error;
  for (int level : {2, 3, 4, 5}) {
    compare_level(lines, gas, level, [](const Line&) { return Expect::SAME_BYTES; });
  }
  for (int level : {0, 1}) {
    compare_level(lines, gas, level, [](const Line& line) {
      switch (line.intel) {
        case Intel::SAME: return Expect::SAME_BYTES;
        case Intel::REFUSED: return Expect::REFUSED;
        default: return Expect::IGNORED;
      }
    });
  }
}

TEST(EncodeCrossCheck, IndexByteRegistersAtLevelsThreeAndFive) {
  if (tools_missing()) GTEST_SKIP() << "z80-unknown-coff-as / z80-unknown-coff-objcopy not installed";
  const std::vector<Line> lines = index_byte_forms();
  std::string error;
  const std::vector<uint8_t> gas = gas_bytes(lines, "z80+xyhl", error);
  ASSERT_FALSE(gas.empty()) << error;
  for (int level : {3, 5}) compare_level(lines, gas, level, [](const Line&) { return Expect::SAME_BYTES; });
  for (int level : {0, 1, 2, 4}) compare_level(lines, gas, level, [](const Line&) { return Expect::REFUSED; });
}

TEST(EncodeCrossCheck, Z180AdditionsAtLevelFourOnly) {
  if (tools_missing()) GTEST_SKIP() << "z80-unknown-coff-as / z80-unknown-coff-objcopy not installed";
  const std::vector<Line> lines = z180_forms();
  std::string error;
  const std::vector<uint8_t> gas = gas_bytes(lines, "z180", error);
  ASSERT_FALSE(gas.empty()) << error;
  compare_level(lines, gas, 4, [](const Line&) { return Expect::SAME_BYTES; });
  for (int level : {0, 1, 2, 3, 5}) compare_level(lines, gas, level, [](const Line&) { return Expect::REFUSED; });
}

// What the Intel levels place where the Z80 has no instruction of its own,
// or where optimisation picks another form; checked against the opcode
// tables of the 8080.
TEST(EncodeCrossCheck, IntelLevelsByHand) {
  const struct {
    const char* source;
    const char* expected;
  } cases[] = {
      {"neg", "2F 3C"},                    // CMA, INR A
      {"ld hl,bc", "60 69"},               // MOV H,B; MOV L,C
      {"ld bc,de", "42 4B"},               // MOV B,D; MOV C,E
      {"ld de,hl", "54 5D"},               // MOV D,H; MOV E,L
      {"ld sp,hl", "F9"},                  // SPHL
      {"ex (sp),hl", "E3"},                // XTHL
      {"ex de,hl", "EB"},                  // XCHG
      {"jp (hl)", "E9"},                   // PCHL
      {"ld a,(bc)", "0A"},                 // LDAX B
      {"ld (de),a", "12"},                 // STAX D
      {"ld hl,(0x1234)", "2A 34 12"},      // LHLD
      {"ld (0x1234),hl", "22 34 12"},      // SHLD
      {"halt", "76"},                      // HLT
      {"rst 0x28", "EF"},                  // RST 5
      {"call 0x30", "F7"},                 // RST 6, chosen by optimisation
      {"x: jr x", "C3 00 00"},             // JMP: the 8080 has no relative jump
      {"x: djnz x", "05 C2 00 00"},        // DCR B; JNZ
      {"x: jr nc,x", "D2 00 00"},          // JNC
  };
  for (int level : {0, 1}) {
    for (const auto& c : cases) {
      const std::string text = c.source;
      const std::string source = text.rfind("x:", 0) == 0 ? "x:      " + text.substr(3) + "\n" : "        " + text + "\n";
      EXPECT_EQ(outcome(source, {level_option(level)}), c.expected) << c.source << " at level " << level;
    }
  }
}

}  // namespace
}  // namespace zorm::test
