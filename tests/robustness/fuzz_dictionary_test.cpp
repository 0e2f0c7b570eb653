// The fuzz targets' dictionary (fuzz/zorm.dict) keeps up with the language:
// every mnemonic, directive and keyword of the tables is one of its entries,
// and every entry is well formed for libFuzzer.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <sstream>
#include <string>

#include "codegen/mnemonic_table.h"
#include "parse/tokens.h"
#include "support/assemble.h"

namespace zorm::test {
namespace {

// The entries of a libFuzzer dictionary: "text" with \\, \" and \xNN
// escapes; # starts a comment line. A malformed line adds "<bad line N>".
std::set<std::string> dictionary_entries(const std::string& text) {
  std::set<std::string> entries;
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    if (line.size() < 2 || line.front() != '"' || line.back() != '"') {
      entries.insert("<bad line " + std::to_string(number) + ">");
      continue;
    }
    std::string entry;
    for (size_t i = 1; i + 1 < line.size(); ++i) {
      if (line[i] != '\\') {
        entry += line[i];
      } else if (line[i + 1] == '\\' || line[i + 1] == '"') {
        entry += line[++i];
      } else if (line[i + 1] == 'x' && i + 3 < line.size() && std::isxdigit(static_cast<unsigned char>(line[i + 2])) &&
                 std::isxdigit(static_cast<unsigned char>(line[i + 3]))) {
        entry += static_cast<char>(std::stoi(line.substr(i + 2, 2), nullptr, 16));
        i += 3;
      } else {
        entries.insert("<bad line " + std::to_string(number) + ">");
        break;
      }
    }
    entries.insert(entry);
  }
  return entries;
}

TEST(FuzzDictionary, HoldsEveryMnemonicAndKeyword) {
  const std::string text = read_file(std::string(ZORM_TEST_DATA_DIR) + "/../fuzz/zorm.dict");
  ASSERT_FALSE(text.empty()) << "fuzz/zorm.dict not found";
  const std::set<std::string> entries = dictionary_entries(text);
  for (const std::string& entry : entries) EXPECT_NE(entry.rfind("<bad line", 0), 0u) << entry;
  for (int i = 0; i < MNEMONIC_COUNT; ++i) {
    const std::string statement = std::string("\t") + MNEMONIC_TABLE[i].name + " ";
    EXPECT_EQ(entries.count(statement), 1u) << MNEMONIC_TABLE[i].name;
  }
  for (const char* keyword : KEYWORD_TABLE) EXPECT_EQ(entries.count(keyword), 1u) << keyword;
}

}  // namespace
}  // namespace zorm::test
