#include <gtest/gtest.h>

#include <cstring>

#include "support/assemble.h"

namespace zorm::test {
namespace {

// Reads a file through the source stack directly: each delivered line with
// the line number of the entry it came from.
class SourceReader {
 public:
  SourceReader() : assembler(out, err) { assembler.options.quiet = true; }

  std::vector<std::pair<int, std::string>> read_all(const std::string& path) {
    std::vector<std::pair<int, std::string>> lines;
    EXPECT_EQ(assembler.sources.open_source_file(path), 0);
    while (assembler.sources.read_line() == 0) {
      int number = assembler.sources.top() >= 0 ? assembler.sources.top_entry().line_number : -1;
      lines.emplace_back(number, assembler.sources.current_line);
    }
    return lines;
  }

  TextStream out, err;
  Assembler assembler;
};

TEST(SourceStack, LineEndsAndControlBytes) {
  TempDir dir;
  SourceReader reader;
  auto lines = reader.read_all(dir.write("a.asm", "one\r\ntw\ro\n\x01three\tx\nlast"));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].second, "one\n");
  EXPECT_EQ(lines[1].second, "two\n");
  EXPECT_EQ(lines[2].second, "three\tx\n");
  EXPECT_EQ(lines[3].second, "last\n");  // the last line has no line end and is a line all the same
  EXPECT_EQ(lines[2].first, 3);
  EXPECT_EQ(lines[3].first, 4);
  EXPECT_EQ(reader.assembler.sources.total_lines_read, 4u);
}

TEST(SourceStack, LongLinesAreCutAt251Characters) {
  TempDir dir;
  std::string text;
  for (int i = 1; i <= 9; ++i) text += "l\n";
  text += std::string(600, 'x') + "\n" + std::string(251, 'y') + "\nend\n";
  SourceReader reader;
  auto lines = reader.read_all(dir.write("a.asm", text));
  ASSERT_EQ(lines.size(), 9u + 3u + 2u + 1u);
  EXPECT_EQ(lines[9].second.size(), 252u);
  EXPECT_EQ(lines[9].first, 9);
  EXPECT_EQ(lines[10].second.size(), 252u);
  EXPECT_EQ(lines[10].first, 9);
  EXPECT_EQ(lines[11].second.size(), 99u);
  EXPECT_EQ(lines[11].first, 10);
  EXPECT_EQ(lines[12].second, std::string(251, 'y') + "\n");
  EXPECT_EQ(lines[13].second, "\n");
  EXPECT_EQ(lines[13].first, 11);
}

// The reader takes lines a block of bytes at a time; the pieces must be
// those of a byte-by-byte reading wherever the control bytes and the length
// limit fall: control bytes other than tab and line feed are dropped, and a
// piece ends after 251 characters even right before a line feed.
TEST(SourceStack, ControlBytesAndCutsWhereverTheyFall) {
  auto pieces_of = [](const std::string& text) {
    std::vector<std::string> pieces;
    std::string piece;
    bool cut = false;
    for (const char c : text) {
      if (c == '\n') {
        pieces.push_back(piece + "\n");
        piece.clear();
        cut = false;
      } else if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') {
        piece.push_back(c);
        cut = false;
        if (piece.size() == 251) {
          pieces.push_back(piece + "\n");
          piece.clear();
          cut = true;
        }
      }
    }
    if (!piece.empty() || cut) pieces.push_back(piece + "\n");
    return pieces;
  };
  TempDir dir;
  for (int length : {1, 15, 16, 17, 31, 234, 235, 236, 249, 250, 251, 252, 266, 267, 502, 503}) {
    for (int at : {0, 1, 7, 8, 15, 16, 17, 233, 234, 235, 236, 250, 251, 252}) {
      if (at > length) continue;
      std::string text(static_cast<size_t>(length), 'a');
      for (int i = 0; i < length; ++i) text[static_cast<size_t>(i)] = static_cast<char>('a' + i % 26);
      text.insert(static_cast<size_t>(at), at % 2 == 0 ? "\r\x01" : "\t\x7f\x0b");
      text += "\nnext\r\n";
      SourceReader reader;
      std::vector<std::string> read;
      for (const auto& line : reader.read_all(dir.write("a.asm", text))) read.push_back(line.second);
      EXPECT_EQ(read, pieces_of(text)) << "length " << length << ", control bytes at " << at;
    }
  }
}

TEST(SourceStack, LinesAcrossTheReadBufferBoundary) {
  TempDir dir;
  std::string text;
  while (text.size() < 8180) text += "abcdefghij\n";
  text += "0123456789012345678901234567890123456789\nend\n";
  SourceReader reader;
  auto lines = reader.read_all(dir.write("a.asm", text));
  EXPECT_EQ(lines[lines.size() - 2].second, "0123456789012345678901234567890123456789\n");
  EXPECT_EQ(lines.back().second, "end\n");
}

TEST(SourceStack, CtrlZEndsTheFile) {
  TempDir dir;
  SourceReader reader;
  auto lines = reader.read_all(dir.write("a.asm", "one\ntwo\x1a\nthree\n"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].second, "two\n");
}

TEST(SourceStack, IncludedFilesAndTheLineAfterThem) {
  // An included file with a terminated last line is followed by an empty
  // line; a Ctrl-Z inside it returns to the including file.
  TempDir dir;
  dir.write("inc.asm", "bb equ 2\n\x1aignored equ 9\n");
  dir.write("t.asm", "aa equ 1\n\tinclude \"" + dir.file("inc.asm") + "\"\ncc equ aa+bb\n");
  SourceReader reader;
  auto lines = reader.read_all(dir.file("t.asm"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].second, "aa equ 1\n");
  EXPECT_EQ(lines[2].second, "cc equ aa+bb\n");

  RunResult run = run_assembler({"-q", dir.file("t.asm")});
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.assembler->symbols.find("cc")->value, 3);
  EXPECT_EQ(run.assembler->symbols.find("ignored"), nullptr);
  EXPECT_EQ(run.assembler->sources.total_lines_read, 4u);
}

TEST(SourceStack, IncludeSearchesThePathList) {
  TempDir dir;
  dir.write("lib/x.asm", "fromlib equ 7\n");
  dir.write("inc/x.asm/README", "a directory named like the file is skipped\n");
  dir.write("t.asm", "\tinclude \"x.asm\"\n");
  RunResult run = run_assembler({"-q", "-I" + dir.file("inc"), "-I" + dir.file("lib"), dir.file("t.asm")});
  ASSERT_EQ(run.status, 0) << run.out;
  std::string expected_list = ";";
  expected_list.append(dir.file("inc")).append(";").append(dir.file("lib"));
  EXPECT_EQ(run.assembler->options.include_path_list, expected_list);
  EXPECT_EQ(run.assembler->symbols.find("fromlib")->value, 7);

  dir.write("u.asm", "\tinclude \"missing.asm\"\n");
  RunResult missing = run_assembler({"-q", dir.file("u.asm")});
  EXPECT_EQ(missing.status, 3);
  EXPECT_NE(missing.out.find("File not found."), std::string::npos);
}

TEST(SourceStack, NestingLimitIsTwentyEntries) {
  TempDir dir;
  for (int i = 1; i <= 20; ++i) {
    std::string name = "f";
    name.append(std::to_string(i)).append(".asm");
    std::string next = "f";
    next.append(std::to_string(i + 1)).append(".asm");
    std::string text = "\tinclude \"";
    text.append(dir.file(next)).append("\"\n");
    dir.write(name, text);
  }
  dir.write("f21.asm", "deep equ 1\n");
  RunResult run = run_assembler({"-q", dir.file("f1.asm")});
  EXPECT_EQ(run.status, 3);
  EXPECT_NE(run.out.find("Include file nesting limit reached."), std::string::npos);
  // f20 is the 20th entry; its include of f21 is refused.
  EXPECT_NE(run.out.find("f20.asm\",1 : Include file nesting limit reached."), std::string::npos) << run.out;
}

TEST(SourceStack, BinaryGarbageAndEmptyFiles) {
  TempDir dir;
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 7919) & 0xFF));
  RunResult run = run_assembler({"-q", dir.write("g.asm", garbage)});
  EXPECT_EQ(run.status, 3);
  RunResult empty = run_assembler({"-q", dir.write("e.asm", "")});
  EXPECT_EQ(empty.status, 0);
  EXPECT_EQ(empty.out, "");
}

}  // namespace
}  // namespace zorm::test
