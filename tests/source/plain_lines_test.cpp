// A line that lies whole in the read buffer is handed out straight from it
// (take_plain_line); anything else goes through read_line. Either way the
// lines, their numbers and the count of lines read are the same.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "source/plain_lines.h"
#include "support/assemble.h"

namespace zorm::test {
namespace {

using Lines = std::vector<std::tuple<int, std::string, int>>;  // line number, text, indentation (-1: read_line)

Lines read_lines(const std::string& path, bool plain_first) {
  TextStream out, err;
  Assembler assembler(out, err);
  assembler.options.quiet = true;
  SourceStack& sources = assembler.sources;
  EXPECT_EQ(sources.open_source_file(path), 0);
  Lines lines;
  for (;;) {
    int indent = -1;
    if (plain_first) indent = sources.take_plain_line();
    if (indent < 0 && sources.read_line() != 0) break;
    const int number = sources.top() >= 0 ? sources.top_entry().line_number : -1;
    lines.emplace_back(number, sources.current_line, indent);
  }
  lines.emplace_back(static_cast<int>(sources.total_lines_read), "", -1);
  return lines;
}

// The lines as read_line alone hands them out, and that the plain lines
// among them had the indentation take_plain_line reported.
void expect_same_lines(const std::string& text, const std::string& what) {
  TempDir dir;
  const std::string path = dir.write("a.asm", text);
  const Lines by_line = read_lines(path, false);
  const Lines mixed = read_lines(path, true);
  ASSERT_EQ(mixed.size(), by_line.size()) << what;
  for (size_t i = 0; i < mixed.size(); ++i) {
    EXPECT_EQ(std::get<0>(mixed[i]), std::get<0>(by_line[i])) << what << ", line " << i;
    EXPECT_EQ(std::get<1>(mixed[i]), std::get<1>(by_line[i])) << what << ", line " << i;
    const int indent = std::get<2>(mixed[i]);
    if (indent < 0) continue;
    const std::string& line = std::get<1>(mixed[i]);
    EXPECT_EQ(static_cast<size_t>(indent), line.find_first_not_of(" \t")) << what << ", line " << i;
  }
}

TEST(PlainLines, AreTheLinesReadLineDelivers) {
  expect_same_lines("one\r\ntw\ro\n\x01three\tx\n\n\r\n   \t\n;c\nlast", "control bytes and line ends");
  expect_same_lines(std::string(40, ' ') + "deep\n" + std::string(16, '\t') + "\n" + std::string(300, ' ') + "x\n",
                    "long indentation");
  expect_same_lines("a\x1a" "b\nc\n", "a Ctrl-Z ends the file");
  expect_same_lines("a\r", "a carriage return at the end");
  for (int length : {249, 250, 251, 252, 500, 502, 503}) {
    for (const char* end : {"\n", "\r\n", ""}) {
      expect_same_lines(" x\n" + std::string(static_cast<size_t>(length), 'y') + end + "z\n",
                        "a line of " + std::to_string(length));
    }
  }
}

TEST(PlainLines, AcrossTheReadBufferBoundary) {
  // Lines of every length around the end of the first chunk of 8192 bytes,
  // shifted byte by byte across it.
  for (int shift = 0; shift < 40; ++shift) {
    std::string text(static_cast<size_t>(shift), ';');
    text += "\n";
    while (text.size() < 8150) text += " ld a,(ix+1) ; comment\n";
    for (int i = 0; i < 8; ++i) text += std::string(static_cast<size_t>(i * 3), ' ') + "nop ; " + std::to_string(i) + "\r\n";
    expect_same_lines(text, "shifted by " + std::to_string(shift));
  }
}

}  // namespace
}  // namespace zorm::test
