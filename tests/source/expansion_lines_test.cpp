// Expanded lines are built straight in the current line while they fit, and
// in the entry's pending text when they reach the length limit: either way
// the pieces are those of the whole expanded text cut every 251 characters.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "source/macros.h"
#include "support/assemble.h"

namespace zorm::test {
namespace {

// The lines read_line hands out for one expansion of body with these
// arguments (fields separated by ARG_SEPARATOR), up to the empty line that
// ends it.
std::vector<std::string> expanded_lines(const std::string& body, const std::string& arguments) {
  TextStream out, err;
  Assembler assembler(out, err);
  assembler.options.quiet = true;
  TempDir dir;
  const std::string after = dir.write("a.asm", "after\n");
  SourceStack& sources = assembler.sources;
  EXPECT_EQ(sources.open_source_file(after), 0);
  EXPECT_EQ(sources.push_macro_expansion("m", std::make_shared<const std::string>(body), arguments), 0);
  std::vector<std::string> lines;
  while (sources.read_line() == 0 && sources.current_line != std::string("after\n")) lines.emplace_back(sources.current_line);
  return lines;
}

// The same by hand: each body line with its placeholders replaced, cut into
// pieces of 251 characters (a line of exactly 251 leaves an empty piece).
std::vector<std::string> pieces(const std::vector<std::string>& expanded) {
  std::vector<std::string> lines;
  for (const std::string& text : expanded) {
    size_t at = 0;
    for (; text.size() - at >= 251; at += 251) lines.push_back(text.substr(at, 251) + "\n");
    lines.push_back(text.substr(at) + "\n");
  }
  lines.emplace_back("\n");
  return lines;
}

TEST(ExpansionLines, AreCutAtTheLengthLimitWhereverThePlaceholdersFall) {
  for (size_t n = 235; n <= 262; ++n) {
    const std::string first(n, 'a');
    const std::string second = "b2";
    const std::string arguments = first + ARG_SEPARATOR + second;
    // Serial numbers start at 1 in a fresh run.
    const std::vector<std::string> expected =
        pieces({"x" + first + "y0001z", "\t" + second + " " + first + "\x7f\\", "\\220001"});  // a backslash, then \0 twice
    EXPECT_EQ(expanded_lines("x\\1y\\?z\n\t\\2 \\1\x01\x7f\\\n\\\\0\\0\\?\n", arguments), expected) << "argument of " << n;
  }
}

TEST(ExpansionLines, RunsOfBodyTextOfAnyLengthAnywhereInTheBody) {
  // Body text is looked at sixteen bytes at a time where sixteen remain:
  // runs of every length around that, near the end of the body and across
  // the length limit.
  for (size_t before : {0, 1, 15, 16, 17, 31, 32, 33, 120, 240, 250, 251, 260}) {
    for (size_t after : {0, 1, 14, 15, 16, 17, 40}) {
      const std::string head(before, 'q');
      const std::string tail(after, 'r');
      const std::string argument(5, 's');
      // A last line without a line feed, unless it is empty (then the body
      // just ends).
      std::vector<std::string> expected{head + argument + tail};
      if (!tail.empty()) expected.push_back(tail);
      EXPECT_EQ(expanded_lines(head + "\\1" + tail + "\n" + tail, argument), pieces(expected))
          << before << " before, " << after << " after";
    }
  }
}

TEST(ExpansionLines, ArgumentsAreTheFieldsBetweenSeparators) {
  const std::string body = "[\\1|\\2|\\3|\\9|\\0]\n";
  auto fields = [](const std::vector<std::string>& texts) {
    std::string joined;
    for (size_t i = 0; i < texts.size(); ++i) joined += (i == 0 ? "" : std::string(1, ARG_SEPARATOR)) + texts[i];
    return joined;
  };
  EXPECT_EQ(expanded_lines(body, ""), pieces({"[||||0]"}));
  EXPECT_EQ(expanded_lines(body, fields({"x", "", "y"})), pieces({"[x||y||3]"}));
  EXPECT_EQ(expanded_lines(body, fields({"x", ""})), pieces({"[x||||1]"}));  // a trailing comma adds no argument
  EXPECT_EQ(expanded_lines(body, fields({"", ""})), pieces({"[||||1]"}));
  EXPECT_EQ(expanded_lines(body, fields({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k"})),
            pieces({"[a|b|c|i|;]"}));  // eleven arguments: '0' + 11
}

TEST(ExpansionLines, ALastBodyLineWithoutLineFeedAndAnEmptyBody) {
  EXPECT_EQ(expanded_lines("one\ntwo", ""), pieces({"one", "two"}));
  EXPECT_EQ(expanded_lines("", ""), std::vector<std::string>{"\n"});
  EXPECT_EQ(expanded_lines(std::string(251, 'c'), ""), pieces({std::string(251, 'c')}));
}

}  // namespace
}  // namespace zorm::test
