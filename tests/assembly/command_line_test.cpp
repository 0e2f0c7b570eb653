#include <gtest/gtest.h>

#include "support/assemble.h"

namespace zorm::test {
namespace {

const char* const TITLE = "ZORM Assembler for i8080 [1.42].  (c) The ZORM developers\n\n";

TEST(CommandLine, NoArgumentsPrintsTitleAndUsage) {
  RunResult run = run_assembler({});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, std::string(TITLE) + "Usage: ZORM [-DIcghilmnopqstuvwxz +q] file\n");
}

TEST(CommandLine, HelpListsOptionsInSortedOrder) {
  RunResult run = run_assembler({"--help"});
  EXPECT_EQ(run.status, 1);
  const std::string expected = std::string(TITLE) +
                               "Usage: ZORM [-DIcghilmnopqstuvwxz +q] file\n"
                               "\nOptions:\n"
                               "\t-D<name> : Define label, if no name given define DEBUG.\n"
                               "\t-I<path> : Specify include file path string.\n"
                               "\t-c       : Show number of cycles per instruction in listing.\n"
                               "\t-g       : Generate source-level debug information.\n"
                               "\t-h<num>  : Specify height of page for listing.\n"
                               "\t-i       : Ignore case in opcodes.\n"
                               "\t-l       : Generate pass 2 listing.\n"
                               "\t-l<name> : Listing file name.\n"
                               "\t-m       : Show macro expansions in listing.\n"
                               "\t-n       : Disable optimizations.\n"
                               "\t-o<name> : Binary/hex output file name.\n"
                               "\t-p       : Generate pass 1 listing.\n"
                               "\t-q       : Quiet mode.\n"
                               "\t+q       : Suppress warning messages.\n"
                               "\t-s1 -s   : Write s-records instead of binary file.\n"
                               "\t-s2      : Write intel-hex file instead of binary file.\n"
                               "\t-t       : Generate symbol table.\n"
                               "\t-u       : List memory usage map.\n"
                               "\t-v       : Verbose mode.\n"
                               "\t-w<wid>  : Specify listing width, 131 if no number given.\n"
                               "\t-x1      : Use 8085 extensions.\n"
                               "\t-x2 -x   : Use Z80 extensions.\n"
                               "\t-x3      : Use Z80 and index byte register extensions.\n"
                               "\t-x4      : Use Z180/64180 extensions.\n"
                               "\t-z       : Fill unused memory with zeros.\n";
  EXPECT_EQ(run.out, expected);
  EXPECT_EQ(run_assembler({"?"}).out, expected);
  EXPECT_EQ(run_assembler({"x.asm", "-?"}).out, expected);
  EXPECT_EQ(run_assembler({"+?"}).out, expected);
}

TEST(CommandLine, UnknownOptionsAndSecondFile) {
  RunResult dashdash = run_assembler({"x.asm", "--help"});
  EXPECT_EQ(dashdash.status, 1);
  EXPECT_EQ(dashdash.out, std::string(TITLE) + "Unknown option --.\nUsage: ZORM [-DIcghilmnopqstuvwxz +q] file\n");
  RunResult plus = run_assembler({"+k", "x.asm"});
  EXPECT_EQ(plus.out, std::string(TITLE) + "Unknown option +k.\nUsage: ZORM [-DIcghilmnopqstuvwxz +q] file\n");
  RunResult two = run_assembler({"a.asm", "b.asm", "-k"});
  EXPECT_EQ(two.status, 1);
  EXPECT_EQ(two.out, "Only one input file can be specified.\n");
  RunResult none = run_assembler({"-t", "-", "+"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.out, "Usage: ZORM [-DIcghilmnopqstuvwxz +q] file\n");
}

TEST(CommandLine, ClampsAndCombinedLetters) {
  struct Case {
    std::vector<std::string> options;
    int height, width, format, level;
  };
  const Case cases[] = {
      {{"-h5"}, 20, 79, 0, -2},       {{"-h0"}, 0, 79, 0, -2},       {{"-w"}, 65, 131, 0, -2},
      {{"-w10"}, 65, 60, 0, -2},      {{"-w500"}, 65, 200, 0, -2},   {{"-h30w120"}, 30, 120, 0, -2},
      {{"-s"}, 65, 79, 1, -2},        {{"-s2"}, 65, 79, 2, -2},      {{"-s7"}, 65, 79, 0, -2},
      {{"-x"}, 65, 79, 0, -1},        {{"-x4"}, 65, 79, 0, 4},       {{"-x7"}, 65, 79, 0, 0},
  };
  for (const Case& c : cases) {
    auto result = assemble("", c.options);
    const Options& o = result->run.assembler->options;
    EXPECT_EQ(o.page_height, c.height) << c.options[0];
    EXPECT_EQ(o.page_width, c.width) << c.options[0];
    EXPECT_EQ(o.output_format, c.format) << c.options[0];
    EXPECT_EQ(o.processor_level, c.level) << c.options[0];
  }
  auto tu = assemble("", {"-tu", "-s1z"});
  EXPECT_TRUE(tu->run.assembler->options.symbol_table);
  EXPECT_TRUE(tu->run.assembler->options.memory_map);
  EXPECT_EQ(tu->run.assembler->options.fill_byte, 0);
  auto hx = assemble("", {"-hx"});
  EXPECT_NE(hx->run.out.find("Page length missing after -h.\n"), std::string::npos);
  EXPECT_EQ(hx->run.assembler->options.processor_level, -1);
}

TEST(CommandLine, DefinitionsFromTheCommandLine) {
  auto result = assemble("", {"-DX=0x10", "-DY=010", "-DZ=-3", "-DW=abc", "-D", "-DV=1", "-DV=2"});
  SymbolTable& symbols = result->run.assembler->symbols;
  EXPECT_EQ(symbols.find("X")->value, 16);
  EXPECT_EQ(symbols.find("Y")->value, 8);
  EXPECT_EQ(symbols.find("Z")->value, -3);
  EXPECT_EQ(symbols.find("W"), nullptr);
  EXPECT_EQ(symbols.find("DEBUG")->value, 1);
  EXPECT_EQ(symbols.find("V")->value, 1);
  EXPECT_EQ(symbols.find("X")->attributes, 0x50);
}

TEST(CommandLine, SourceSearchAndDerivedNames) {
  TempDir dir;
  dir.write("sub/prog.asm", "");
  dir.write("sub/prog.s", "");
  RunResult run = run_assembler({"-s2", "-g", dir.file("sub/prog")});
  EXPECT_EQ(run.status, 0) << run.out;
  const Options& o = run.assembler->options;
  EXPECT_EQ(o.source_name, dir.file("sub/prog.asm"));
  EXPECT_EQ(o.object_name, dir.file("sub/prog.hex"));
  EXPECT_EQ(o.listing_name, dir.file("sub/prog.lst"));
  EXPECT_EQ(o.title_name, "prog.asm");
  EXPECT_TRUE(dir.exists("sub/prog.lst"));

  RunResult missing = run_assembler({dir.file("nothing")});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.out, "Can't open source file " + dir.file("nothing.s") + ".\n");

  // A directory is not a source file.
  RunResult directory = run_assembler({dir.file("sub")});
  EXPECT_EQ(directory.status, 2);

  RunResult dbg = run_assembler({"-g", "-o" + dir.file("out.hex"), dir.file("sub/prog.s")});
  EXPECT_EQ(dbg.assembler->options.debug_name, dir.file("out.dbg"));
}

TEST(CommandLine, StripExtensionAndBoundedCopies) {
  std::string name = "dir.v2/file";
  strip_extension(name);
  EXPECT_EQ(name, "dir.v2/file");
  name = ".profile";
  strip_extension(name);
  EXPECT_EQ(name, ".profile");
  name = "a.b.c";
  strip_extension(name);
  EXPECT_EQ(name, "a.b");
  std::string list = ";";
  bounded_append(list, std::string(300, 'x'), 256);
  EXPECT_EQ(list.size(), 255u);
}

TEST(CommandLine, ListingToStandardOutputAndNamedListing) {
  auto stdout_listing = assemble("", {"-l-"});
  EXPECT_EQ(stdout_listing->run.status, 0);
  EXPECT_FALSE(stdout_listing->dir.exists("t.lst"));
  EXPECT_NE(stdout_listing->run.out.find("Page    1"), std::string::npos);
  auto named = assemble("", {"-l" + std::string("/nonexistent/dir/x.lst")});
  EXPECT_EQ(named->run.status, 2);
  EXPECT_EQ(named->run.out, "Can't create output file /nonexistent/dir/x.lst.\n");
}

}  // namespace
}  // namespace zorm::test
