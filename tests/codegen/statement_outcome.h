#pragma once

// Helpers for the code generation tests: what a short source places, which
// diagnostic it gets, and the cycle count the listing shows for a statement.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/assemble.h"

namespace zorm::test {

// The first diagnostic message of a run ("Syntax error."), or "".
inline std::string first_error(const RunResult& run) {
  const std::string& out = run.out;
  const size_t colon = out.find(" : ");
  if (colon == std::string::npos) return "";
  const size_t end = out.find('\n', colon);
  return out.substr(colon + 3, end == std::string::npos ? std::string::npos : end - colon - 3);
}

// The used bytes of the image from an address on, as upper-case hex pairs.
inline std::string placed_bytes(const RunResult& run, uint32_t from = 0) {
  const MemoryImage& image = run.assembler->image;
  std::string hex;
  char buffer[4];
  for (uint32_t address = from; address < IMAGE_SIZE; ++address) {
    if (!image.used(address)) continue;
    std::snprintf(buffer, sizeof buffer, "%02X", image.image_read(address) & 0xFF);
    if (!hex.empty()) hex += ' ';
    hex += buffer;
  }
  return hex;
}

// Everything a source places, followed by "error: <message>" when the run
// reported one: "DD 7E 05", "E6 error: Value not within allowed range.",
// "error: Syntax error.". A run that stops after pass 1 shows the bytes of
// pass 1.
inline std::string outcome(const std::string& source, const std::vector<std::string>& options = {},
                           uint32_t from = 0) {
  std::vector<std::string> args = options;
  args.push_back("-q");
  auto result = assemble(source, args);
  std::string text = placed_bytes(result->run, from);
  const std::string error = first_error(result->run);
  if (!error.empty()) text += (text.empty() ? "error: " : " error: ") + error;
  return text;
}

inline std::string level_option(int level) {
  std::string option = "-x";
  option += std::to_string(level);
  return option;
}

// One indented statement at a processor level.
inline std::string statement(const std::string& text, int level, std::vector<std::string> options = {}) {
  options.push_back(level_option(level));
  return outcome("        " + text + "\n", options);
}

// The cycle count the listing shows for the first line holding the
// statement text: 0 for a blank field, 99 for the "[  ]" of counts that are
// not fixed.
inline int listed_cycles(const std::string& source, const std::string& text, int level) {
  auto result = assemble(source, {level_option(level), "-c", "-l", "-q"});
  const std::string listing = result->listing();
  const size_t at = listing.find(text);
  if (at == std::string::npos) return -1;
  const size_t line_start = listing.rfind('\n', at) + 1;
  const size_t open = listing.find('[', line_start);
  if (open == std::string::npos || open > at) return 0;
  const std::string field = listing.substr(open + 1, 2);
  return field == "  " ? 99 : std::atoi(field.c_str());
}

inline int cycles(const std::string& text, int level) {
  const std::string line = "        " + text;
  return listed_cycles(line + "\n", line, level);
}

constexpr const char* SYNTAX = "error: Syntax error.";
constexpr const char* RANGE = "error: Value not within allowed range.";

// A statement at a processor level and what it should give (see statement()).
struct Case {
  int level;
  const char* source;
  const char* expected;
};

inline void expect_cases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(statement(c.source, c.level), c.expected) << c.source << " at level " << c.level;
  }
}

}  // namespace zorm::test
