// Property: every instruction statement that ZORM accepts assembles to the
// bytes that an independent disassembler (z80dasm) reads back as the same
// statement.
//
// For each processor level a seeded random program of valid statements
// (support/statement_generator.h) is generated, one statement per 16-byte
// slot (an org before each), assembled in process with branch optimisation
// off (-n) and zero fill (-z), and the object is disassembled with z80dasm.
// Each statement carries the canonical text z80dasm is expected to print for
// it; the instructions must fill the statement's bytes exactly. At the 8080
// and 8085 levels ZORM emits 8080 opcodes for the Z80 mnemonics, which
// z80dasm prints in Z80 syntax, so the same comparison holds.
//
// Statements that z80dasm does not know (the Z180 additions, im 3 of the
// Z280, rim and sim of the 8085) are still generated and must assemble, but
// their bytes are not compared; the test reports how many it compared.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "support/assemble.h"
#include "support/statement_generator.h"

namespace zorm::test {
namespace {

constexpr int STATEMENTS_PER_LEVEL = 800;
constexpr uint32_t SLOT = 16;  // bytes reserved per statement; none is longer

bool z80dasm_available() { return std::system("command -v z80dasm >/dev/null 2>&1") == 0; }

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
    if (!text.empty()) text += ' ';
    text += buffer;
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
