#include "lsp/language_words.h"

#include <string_view>

#include "codegen/mnemonic_table.h"
#include "parse/tokens.h"

namespace zorm::lsp {

namespace {

constexpr uint8_t ALL_LEVELS = 0x3F;
constexpr std::string_view REGISTERS[] = {"a",  "af", "b",   "bc",  "c",  "d",   "de",  "e",  "h",  "hl", "i", "ix",
                                          "ixh", "ixl", "iy", "iyh", "iyl", "l", "r",   "sp", "xh", "xl", "yh", "yl"};
constexpr std::string_view CONDITIONS[] = {"nz", "z", "nc", "c", "po", "pe", "p", "m", "nv", "v", "ns", "s"};
constexpr std::string_view OPERATORS[] = {"hi", "lo"};

}  // namespace

const std::vector<Keyword>& keyword_list() {
  static const std::vector<Keyword> words = [] {
    std::vector<Keyword> list;
    for (int i = 0; i < MNEMONIC_COUNT; ++i) {
      const MnemonicEntry& entry = MNEMONIC_TABLE[i];
      list.push_back({entry.name, entry.z80_cycles != 0 ? KeywordKind::instruction : KeywordKind::directive, ALL_LEVELS});
    }
    for (std::string_view name : REGISTERS) list.push_back({name, KeywordKind::register_name, ALL_LEVELS});
    for (std::string_view name : CONDITIONS) {
      if (name != "c") list.push_back({name, KeywordKind::condition, ALL_LEVELS});
    }
    for (std::string_view name : OPERATORS) list.push_back({name, KeywordKind::operator_word, ALL_LEVELS});
    return list;
  }();
  return words;
}

const char* server_version() { return "1.42"; }

}  // namespace zorm::lsp
