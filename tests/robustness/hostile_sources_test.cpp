// Sources that are hostile by size, shape or access: a 100 MB source, lines
// of a megabyte, ten thousand nested if blocks, random bytes and random token
// soup, NUL bytes, unreadable files, a long include path, a source read from
// a pipe. Each run ends with the right message and exit status and never
// crashes; the sanitizer build runs the same tests.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "robustness/child_run.h"
#include "support/assemble.h"

namespace zorm::test {
namespace {

size_t count_of(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
  return count;
}

bool ends_with(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

uint32_t dword_at(const RunResult& run, uint32_t address) {
  const std::vector<uint8_t> b = run.bytes(address, 4);
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

// ---- size --------------------------------------------------------------------

// 100 MB of source, generated here: comment lines, blank lines with carriage
// returns, lines of 600 blanks that come back in pieces, skipped if blocks,
// and a counter assigned again every few lines, which the end of the source
// stores so that the test sees that every line was read in both passes.
TEST(HostileSources, HundredMegabyteSource) {
  std::string chunk;
  uint32_t counts_per_chunk = 0;
  uint32_t lines_per_chunk = 0;
  const std::string wide(600, '\t');
  while (chunk.size() < (1u << 20) - 4096) {
    chunk += "; a comment line of the kind a generated listing of tables is full of\n";
    chunk += "\r\n";
    chunk += "count\tset count+1\t; counts the blocks\n";
    chunk += wide + "; blanks in pieces of 251\n";
    chunk += "\tif 0\n\tdb 1,2,3\n\tendif\n";
    counts_per_chunk += 1;
    lines_per_chunk += 7;
  }
  TempDir dir;
  const std::string path = dir.file("big.asm");
  uint32_t chunks = 0;
  {
    std::ofstream out(path, std::ios::binary);
    out << "count\tset 0\n";
    while (static_cast<uint64_t>(chunks) * chunk.size() < 100u * 1000 * 1000) {
      out << chunk;
      ++chunks;
    }
    out << "\tdd count\n\tdd 0x600DF00D\n";
  }
  RunResult run = run_assembler({"-q", "-l" + dir.file("big.lst"), path});
  ASSERT_EQ(run.status, 0) << run.out.substr(0, 2000);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(dword_at(run, 0), chunks * counts_per_chunk);
  EXPECT_EQ(dword_at(run, 4), 0x600DF00Du);
  EXPECT_EQ(run.assembler->sources.total_lines_read, chunks * lines_per_chunk + 3);
}

// A line of a megabyte comes back in pieces of 251 characters. The first piece
// of a comment line is a comment; the pieces after it are not: each one is a
// label followed by a name that is no mnemonic, and from the second one on
// the label is a redefinition. Nothing is lost around it.
TEST(HostileSources, MegabyteCommentLine) {
  const size_t length = 1 << 20;
  const std::string line = ";" + std::string(length - 1, 'c');
  auto a = assemble("\tdb 1\n" + line + "\n\tdb 2\n", {"-q"});
  EXPECT_EQ(a->run.status, 3);
  const size_t pieces = (length + 250) / 251;
  EXPECT_EQ(count_of(a->run.out, " : Invalid mnemonic.\n"), pieces - 1);
  EXPECT_EQ(count_of(a->run.out, " : Redefinition of label.\n"), pieces - 2);
  EXPECT_TRUE(ends_with(a->run.out, "3 lines read, " + std::to_string(2 * pieces - 3) + " errors in pass 1.\n"))
      << a->run.out.substr(a->run.out.size() - 200);
}

// A megabyte line of blanks, without a line end, as the last line of an
// included file: the including file goes on after it with its own bytes
// reloaded, in both passes.
TEST(HostileSources, MegabyteLineEndingAnIncludedFile) {
  TempDir dir;
  dir.write("wide.inc", "\tdb 0x11\n" + std::string(1 << 20, ' '));
  std::string main_file = "\tdb 0x10\n\tinclude \"" + dir.file("wide.inc") + "\"\n";
  for (int i = 0; i < 2000; ++i) main_file += "\tdb " + std::to_string(i & 0xFF) + "\t; past the first read chunk\n";
  RunResult run = run_assembler({"-q", "-l" + dir.file("t.lst"), dir.write("t.asm", main_file)});
  ASSERT_EQ(run.status, 0) << run.out.substr(0, 1000);
  EXPECT_EQ(run.bytes(0, 4), (std::vector<uint8_t>{0x10, 0x11, 0x00, 0x01}));
  EXPECT_EQ(run.bytes(2 + 1999, 1), (std::vector<uint8_t>{1999 & 0xFF}));
  // The blank last line of the included file has no line end and still counts.
  EXPECT_EQ(run.assembler->sources.total_lines_read, 2002u + 2u);
}

// ---- nesting -------------------------------------------------------------------

std::string nested_ifs(int depth, const std::string& condition, bool closed) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += "\tif " + condition + "\n";
  text += "\tdb 0x42\n";
  if (closed) {
    for (int i = 0; i < depth; ++i) text += "\tendif\n";
  }
  return text;
}

TEST(HostileSources, TenThousandNestedIfBlocks) {
  // True blocks: nine levels open, every further if is refused and its endif
  // then finds no block to close.
  auto active = assemble(nested_ifs(10000, "1", true), {"-q"});
  EXPECT_EQ(active->run.status, 3);
  EXPECT_EQ(count_of(active->run.out, " : Stack overflow.\n"), 9991u);
  EXPECT_EQ(count_of(active->run.out, " : Else or endif without if.\n"), 9991u);
  EXPECT_TRUE(ends_with(active->run.out, "20001 lines read, 19982 errors in pass 1.\n"));
  EXPECT_EQ(active->run.out.substr(0, 9), "10:\tif 1\n");

  // Inside a false block the nested blocks are only counted: no error, and
  // the line in the middle is skipped.
  auto skipped = assemble(nested_ifs(10000, "0", true) + "\tdb 0x43\n", {"-q"});
  EXPECT_EQ(skipped->run.status, 0) << skipped->run.out.substr(0, 500);
  EXPECT_EQ(skipped->run.out, "");
  EXPECT_EQ(skipped->bytes(0, 1), std::vector<uint8_t>{0x43});

  // Left open: one "If without endif", reported when no source is open any
  // more.
  auto open = assemble(nested_ifs(10000, "0", false), {"-q"});
  EXPECT_EQ(open->run.status, 3);
  EXPECT_EQ(open->run.out, "ZM80 : If without endif.\n10001 lines read, 1 error in pass 1.\n");
}

// ---- random input ----------------------------------------------------------------

// Words that make the random token soup look like assembly.
const std::vector<std::string> VOCABULARY = {
    "ld", "a", "b", "hl", "(hl)", "(ix+", "(iy-", ")", "jp", "jr", "call", "djnz", "push", "pop", "db", "dw",
    "dd", "ds", "equ", "set", "=", "if", "else", "endif", "macro", "endm", "local", "exitm", "struct", "end",
    "org", "memsize", "cmap", "include", "\"", "'", "0x", "$", "%", "#", "@", "16#", "1", "255", "65536",
    "-", "+", "*", "/", "<<", ">>", "&&", "||", "!", "~", ",", ":", ";", "\\1", "\\?", "\\0", "lbl", "x",
    "nop", "ex", "af,af'", "rst", "im", "in", "out", "bit", "set", "res", "title", "list", "nolist", "page",
    "code", "data", "bss", "align", "defb", "defm", "defs", "\t", " ", "\n", "\n", "\n", "\r\n", "\x1a"};

std::string random_source(std::mt19937& random, int kind) {
  const size_t size = random() % 3000;
  std::string text;
  switch (kind) {
    case 0:  // raw bytes
      while (text.size() < size) text += static_cast<char>(random() & 0xFF);
      break;
    case 1:  // printable text with line ends
      while (text.size() < size) {
        const uint32_t r = random() % 100;
        text += r < 8 ? '\n' : r < 12 ? '\t' : static_cast<char>(' ' + random() % 95);
      }
      break;
    default:  // token soup
      while (text.size() < size) {
        const std::string& word = VOCABULARY[random() % VOCABULARY.size()];
        text += word;
        if (random() % 3 == 0) text += ' ';
      }
      break;
  }
  return text;
}

// Every random source ends the run with an exit status the assembler defines
// for bad input, and with the line that closes its kind of run.
TEST(HostileSources, RandomSourcesEndCleanly) {
  std::mt19937 random(0x0B5E55ED);
  for (int i = 0; i < 300; ++i) {
    const int kind = i % 3;
    const std::string source = random_source(random, kind);
    auto a = assemble(source, {"-q"});
    const int status = a->run.status;
    const std::string& out = a->run.out;
    const std::string context = "source " + std::to_string(i) + " (kind " + std::to_string(kind) + ")";
    switch (status) {
      case 0:  // quiet: a clean run prints nothing
        EXPECT_EQ(out, "") << context;
        break;
      case 3:
        EXPECT_TRUE(ends_with(out, " in pass 1.\n") || ends_with(out, " in pass 2.\n")) << context << "\n" << out;
        break;
      case 4:  // a macro over its limits: "No memory"
        EXPECT_TRUE(ends_with(out, " : No memory.\n")) << context << "\n" << out;
        break;
      default:
        ADD_FAILURE() << context << " ended with status " << status << "\n" << out;
    }
  }
}

// ---- bytes the reader drops -----------------------------------------------------------

TEST(HostileSources, NulBytesAreDroppedEverywhere) {
  TempDir dir;
  dir.write("nul.inc", std::string(20000, '\0') + "\tdb 0x22\n" + std::string(100, '\0'));
  const std::string source = std::string("\td\0b 0x\0" "11\n", 12) + "\tinclude \"" + dir.file("nul.inc") +
                             "\"\n" + std::string(5000, '\0') + "\tdb 0x33\n";
  RunResult run = run_assembler({"-q", "-l" + dir.file("t.lst"), dir.write("t.asm", source)});
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.bytes(0, 3), (std::vector<uint8_t>{0x11, 0x22, 0x33}));
}

// ---- access ---------------------------------------------------------------------------

// Files that exist but may not be read: the main source is reported as not
// found and the run ends with status 2; an included one is an error of the
// pass. The run drops to an ordinary user, for whom the permissions hold.
TEST(HostileSources, UnreadableFiles) {
  TempDir dir;
  ::chmod(dir.path().c_str(), 0777);
  auto locked = [&](const std::string& name, const std::string& content) {
    const std::string path = dir.write(name, content);
    ::chmod(path.c_str(), 0);
    return path;
  };
  auto readable = [&](const std::string& name, const std::string& content) {
    const std::string path = dir.write(name, content);
    ::chmod(path.c_str(), 0644);
    return path;
  };
  const std::string main_file = locked("locked.asm", "\tnop\n");
  locked("locked.inc", "\tnop\n");
  locked("locked.bin", "\x01");
  locked("locked.hex", ":0100000001FE\n:00000001FF\n");

  ChildResult run = run_in_child({"-q", "-l" + dir.file("main.lst"), main_file}, {-1, true});
  if (run.status == 200) GTEST_SKIP() << "cannot run as an unprivileged user";
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "ZM80 : File not found.\n");

  for (const std::string name : {"locked.inc", "locked.bin", "locked.hex"}) {
    const std::string source = readable("uses.asm", "\tinclude \"" + dir.file(name) + "\"\n\tnop\n");
    ChildResult include = run_in_child({"-q", "-l" + dir.file("uses.lst"), source}, {-1, true});
    EXPECT_EQ(include.status, 3) << name;
    EXPECT_EQ(include.out, "1:\tinclude \"" + dir.file(name) + "\"\n\"" + source +
                               "\",1 : File not found.\n2 lines read, 1 error in pass 1.\n")
        << name;
  }
}

// Runs a test in another working folder and returns to the first one.
class WorkingFolder {
 public:
  explicit WorkingFolder(const std::string& path) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
  }
  ~WorkingFolder() { std::filesystem::current_path(previous_); }
  WorkingFolder(const WorkingFolder&) = delete;
  WorkingFolder& operator=(const WorkingFolder&) = delete;

 private:
  std::filesystem::path previous_;
};

// An include name that fills its line, found through a short include folder;
// through a deep one the path grows past the 259 characters of a file name,
// is cut, and names nothing.
TEST(HostileSources, LongIncludeNames) {
  TempDir dir;
  WorkingFolder here(dir.path());
  const std::string long_name(240, 'n');
  dir.write("i/" + long_name, "\tdb 0x77\n");
  // "\tinclude \"" + 240 characters + "\"" is a whole line of 251 characters.
  const std::string line = "\tinclude \"" + long_name + "\"\n";
  ASSERT_EQ(line.size(), 252u);
  dir.write("a.asm", line);
  auto found = run_assembler({"-q", "-Ii", "a.asm"});
  EXPECT_EQ(found.status, 0) << found.out;
  EXPECT_EQ(found.bytes(0, 1), std::vector<uint8_t>{0x77});

  const std::string deep = "i/" + std::string(30, 'd');
  std::filesystem::create_directories(deep);
  std::filesystem::copy_file("i/" + long_name, deep + "/" + long_name);
  auto cut = run_assembler({"-q", "-I" + deep, "a.asm"});
  EXPECT_EQ(cut.status, 3);
  EXPECT_NE(cut.out.find(" : File not found.\n"), std::string::npos) << cut.out;
}

// A source read from a pipe (as "zorm <(generator)" gives it) can be read only
// once. Pass 2 then finds it empty, keeps the bytes pass 1 left in the image,
// and the run reports success with an object whose forward references hold
// pass 1's placeholders. The run must either fail or assemble the source
// correctly.
TEST(HostileSources, SourceFromAPipeIsNotAssembledWrongly) {
  int channel[2];
  ASSERT_EQ(::pipe(channel), 0);
  const std::string source = "\tjp ahead\n\tdw ahead\nahead\tnop\n";
  ASSERT_EQ(::write(channel[1], source.data(), source.size()), static_cast<ssize_t>(source.size()));
  ::close(channel[1]);
  TempDir dir;
  RunResult run = run_assembler({"-q", "-l" + dir.file("t.lst"), "-o" + dir.file("t.bin"),
                                 "/dev/fd/" + std::to_string(channel[0])});
  ::close(channel[0]);
  if (run.status == 0) {
    EXPECT_EQ(dir.read("t.bin"), std::string("\xC3\x05\x00\x05\x00\x00", 6)) << "a wrong object was written";
  } else {
    EXPECT_FALSE(dir.exists("t.bin"));
  }
}

}  // namespace
}  // namespace zorm::test
