// Every word the source language knows, with the processor levels that
// accept it: the mnemonic table's rows, and the registers, conditions and
// word operators of the operand grammar.
#include <algorithm>

#include "codegen/mnemonic_table.h"
#include "zorm/language.h"

namespace zorm {

namespace {

constexpr uint8_t ALL_LEVELS = 0x3F;
constexpr uint8_t ZILOG_LEVELS = 0x3C;       // -x2 to -x5
constexpr uint8_t INDEX_BYTE_LEVELS = 0x28;  // -x3 and -x5

struct Word {
  const char* name;
  KeywordKind kind;
  uint8_t levels;
};

// The words of the operand grammar.
constexpr Word OPERAND_WORDS[] = {
    {"a", KeywordKind::register_name, ALL_LEVELS},
    {"b", KeywordKind::register_name, ALL_LEVELS},
    {"c", KeywordKind::register_name, ALL_LEVELS},
    {"d", KeywordKind::register_name, ALL_LEVELS},
    {"e", KeywordKind::register_name, ALL_LEVELS},
    {"h", KeywordKind::register_name, ALL_LEVELS},
    {"l", KeywordKind::register_name, ALL_LEVELS},
    {"af", KeywordKind::register_name, ALL_LEVELS},
    {"bc", KeywordKind::register_name, ALL_LEVELS},
    {"de", KeywordKind::register_name, ALL_LEVELS},
    {"hl", KeywordKind::register_name, ALL_LEVELS},
    {"sp", KeywordKind::register_name, ALL_LEVELS},
    {"i", KeywordKind::register_name, ZILOG_LEVELS},
    {"r", KeywordKind::register_name, ZILOG_LEVELS},
    {"ix", KeywordKind::register_name, ZILOG_LEVELS},
    {"iy", KeywordKind::register_name, ZILOG_LEVELS},
    {"ixh", KeywordKind::register_name, INDEX_BYTE_LEVELS},
    {"ixl", KeywordKind::register_name, INDEX_BYTE_LEVELS},
    {"iyh", KeywordKind::register_name, INDEX_BYTE_LEVELS},
    {"iyl", KeywordKind::register_name, INDEX_BYTE_LEVELS},
    {"xh", KeywordKind::register_name, INDEX_BYTE_LEVELS},
    {"xl", KeywordKind::register_name, INDEX_BYTE_LEVELS},
    {"yh", KeywordKind::register_name, INDEX_BYTE_LEVELS},
    {"yl", KeywordKind::register_name, INDEX_BYTE_LEVELS},
    {"nz", KeywordKind::condition, ALL_LEVELS},
    {"z", KeywordKind::condition, ALL_LEVELS},
    {"nc", KeywordKind::condition, ALL_LEVELS},
    {"c", KeywordKind::condition, ALL_LEVELS},
    {"po", KeywordKind::condition, ALL_LEVELS},
    {"pe", KeywordKind::condition, ALL_LEVELS},
    {"p", KeywordKind::condition, ALL_LEVELS},
    {"m", KeywordKind::condition, ALL_LEVELS},
    {"nv", KeywordKind::condition, ALL_LEVELS},
    {"v", KeywordKind::condition, ALL_LEVELS},
    {"ns", KeywordKind::condition, ALL_LEVELS},
    {"s", KeywordKind::condition, ALL_LEVELS},
    {"hi", KeywordKind::operator_word, ALL_LEVELS},
    {"lo", KeywordKind::operator_word, ALL_LEVELS},
    // A structure body's member line that names an offset without room.
    {"label", KeywordKind::directive, ALL_LEVELS},
};

std::vector<Keyword> make_keywords() {
  std::vector<Keyword> keywords;
  for (int i = 0; i < MNEMONIC_COUNT; ++i) {
    const MnemonicEntry& row = MNEMONIC_TABLE[i];
    // set is a directive and, with two operands, the bit instruction.
    if (row.z80_cycles == 0) keywords.push_back({row.name, KeywordKind::directive, ALL_LEVELS});
    if (const uint8_t levels = instruction_levels(row)) keywords.push_back({row.name, KeywordKind::instruction, levels});
  }
  for (const Word& word : OPERAND_WORDS) keywords.push_back({word.name, word.kind, word.levels});
  std::stable_sort(keywords.begin(), keywords.end(), [](const Keyword& a, const Keyword& b) {
    return a.name != b.name ? a.name < b.name : a.kind < b.kind;
  });
  return keywords;
}

}  // namespace

const std::vector<Keyword>& language_keywords() {
  // Built once, then only read.
  static const std::vector<Keyword> keywords = make_keywords();
  return keywords;
}

}  // namespace zorm
