// The last line of a file is a line of that file whether or not a line end
// follows it: a source assembles to the same bytes, messages, listing and
// debug file with and without its final line end.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/assemble.h"

namespace zorm::test {
namespace {

// Everything a run produced, with the scratch folder's path replaced by DIR.
struct Outputs {
  int status = 0;
  std::map<std::string, std::string> texts;  // "stdout" and the output files

  bool operator==(const Outputs&) const = default;
};

std::string without_folder(std::string text, const std::string& folder) {
  for (size_t at = text.find(folder); at != std::string::npos; at = text.find(folder, at)) text.replace(at, folder.size(), "DIR");
  return text;
}

// Writes the files (the first is the main source), leaving the final line end
// off every one of them when cut is set, and assembles with a listing of both
// passes, the symbol table and the debug file.
Outputs assemble_files(const std::vector<std::pair<std::string, std::string>>& files, bool cut) {
  TempDir dir;
  for (const auto& [name, text] : files) {
    EXPECT_EQ(text.back(), '\n') << name;
    dir.write(name, cut ? text.substr(0, text.size() - 1) : text);
  }
  RunResult run = run_assembler({"-q", "-x", "-p", "-l", "-m", "-t", "-g", "-I" + dir.path(), dir.file(files[0].first)});
  Outputs outputs;
  outputs.status = run.status;
  outputs.texts["stdout"] = without_folder(run.out, dir.path());
  for (const char* extension : {".bin", ".lst", ".dbg"}) {
    const std::string base = files[0].first.substr(0, files[0].first.rfind('.'));
    if (dir.exists(base + extension)) outputs.texts[extension] = without_folder(dir.read(base + extension), dir.path());
  }
  return outputs;
}

void expect_same_with_and_without_line_end(const std::vector<std::pair<std::string, std::string>>& files,
                                           int status) {
  const Outputs terminated = assemble_files(files, false);
  const Outputs cut = assemble_files(files, true);
  EXPECT_EQ(terminated.status, status) << terminated.texts.at("stdout");
  EXPECT_EQ(cut.status, terminated.status);
  for (const auto& [name, text] : terminated.texts) {
    ASSERT_EQ(cut.texts.count(name), 1u) << name;
    EXPECT_EQ(cut.texts.at(name), text) << name;
  }
  EXPECT_EQ(cut.texts.size(), terminated.texts.size());
}

TEST(LastLine, OfTheMainFile) {
  expect_same_with_and_without_line_end({{"t.asm", " org 0x100\n nop\n ld a,1\n"}}, 0);
  // Its errors name the file and the line.
  expect_same_with_and_without_line_end({{"t.asm", " nop\n ld a,300\n"}}, 3);
}

TEST(LastLine, CutAtTheLengthLimit) {
  // A last line of exactly 251 characters is followed by the empty line of
  // its line end with or without that line end; a longer one ends in a piece.
  std::string exact = " nop ;";
  exact.append(251 - exact.size(), 'x').append("\n");
  expect_same_with_and_without_line_end({{"t.asm", " org 0x100\n" + exact}}, 0);
  std::string longer = " nop ;";
  longer.append(300 - longer.size(), 'x').append("\n");
  expect_same_with_and_without_line_end({{"t.asm", " org 0x100\n" + longer}}, 3);
  expect_same_with_and_without_line_end({{"t.asm", " include \"inc.asm\"\n nop\n"}, {"inc.asm", exact}}, 0);
}

TEST(LastLine, OfAnIncludedFile) {
  // The empty line that follows an included file comes after the cut last
  // line too; the debug file records the line in the included file.
  expect_same_with_and_without_line_end(
      {{"t.asm", " org 0x100\n nop\n include \"inc.asm\"\n halt\n"}, {"inc.asm", " ld b,2\n ld c,3\n"}}, 0);
  expect_same_with_and_without_line_end({{"t.asm", " include \"inc.asm\"\n"}, {"inc.asm", " ld b,2\n ld c,300\n"}}, 3);
}

TEST(LastLine, EndingAMacroLibrary) {
  const std::string library = "twice macro x\n db x,x\n endm\n";
  expect_same_with_and_without_line_end({{"lib.asm", library}}, 0);
  expect_same_with_and_without_line_end({{"t.asm", " include \"lib.asm\"\n twice 5\n"}, {"lib.asm", library}}, 0);
  // A call as the last line of an included file, and a definition cut short
  // by the end of its file.
  expect_same_with_and_without_line_end({{"t.asm", " include \"calls.asm\"\n nop\n"}, {"calls.asm", library + " twice 6\n"}},
                                        0);
  expect_same_with_and_without_line_end({{"t.asm", " include \"lib.asm\"\n nop\n"}, {"lib.asm", "open macro\n nop\n"}},
                                        3);
}

TEST(LastLine, TheMacroLibraryOfTheIssueAssembles) {
  auto a = assemble("outc macro ch,port\n ld a,ch\n out (port),a\n endm", {"-q", "-x"});
  EXPECT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(a->run.out, "");
  const SymbolTable& table = a->run.assembler->symbols;
  ASSERT_NE(table.find("outc"), nullptr);
  EXPECT_EQ(*table.macro_body(*table.find("outc")), " ld a,\\1\n out (\\2),a\n");
}

// Runs with a bound on the statements of a pass, so that a source that never
// ends fails instead of running for ever.
std::string bounded_run(const std::vector<std::string>& args, int& status) {
  TextStream out, err;
  Assembler assembler(out, err);
  assembler.statement_limit = 100000;
  std::vector<std::string> argv{"zorm"};
  argv.insert(argv.end(), args.begin(), args.end());
  status = assembler.run(argv);
  return out.text();
}

TEST(LastLine, IncludingItsOwnFileReachesTheNestingLimit) {
  for (const char* end : {"\n", ""}) {
    TempDir dir;
    dir.write("self.asm", std::string(" nop\n include \"") + dir.file("self.asm") + "\"" + end);
    int status = 0;
    const std::string out = bounded_run({"-q", "-l", dir.file("self.asm")}, status);
    EXPECT_EQ(status, 3) << "line end: " << (*end != '\0');
    EXPECT_EQ(out, "2: include \"" + dir.file("self.asm") + "\"\n\"" + dir.file("self.asm") +
                       "\",2 : Include file nesting limit reached.\n40 lines read, 1 error in pass 1.\n");
  }
}

TEST(LastLine, TwoFilesIncludingEachOtherReachTheNestingLimit) {
  for (const char* end : {"\n", ""}) {
    TempDir dir;
    dir.write("a.asm", std::string(" include \"") + dir.file("b.asm") + "\"" + end);
    dir.write("b.asm", std::string(" include \"") + dir.file("a.asm") + "\"" + end);
    int status = 0;
    const std::string out = bounded_run({"-q", dir.file("a.asm")}, status);
    EXPECT_EQ(status, 3);
    EXPECT_NE(out.find("b.asm\",1 : Include file nesting limit reached.\n20 lines read, 1 error in pass 1.\n"),
              std::string::npos)
        << out;
  }
}

TEST(LastLine, OfAMacroBodyWithoutALineFeed) {
  // Bodies stored by macro definitions always end with a line feed; one that
  // does not still delivers its last line as a line of the expansion.
  TempDir dir;
  TextStream out, err;
  Assembler assembler(out, err);
  assembler.options.quiet = true;
  SourceStack& sources = assembler.sources;
  ASSERT_EQ(sources.open_source_file(dir.write("t.asm", "after\n")), 0);
  ASSERT_EQ(sources.push_macro_expansion("m", std::make_shared<const std::string>(" ld a,1\n nop"), ""), 0);
  std::vector<std::tuple<std::string, bool, int>> lines;  // text, from the expansion, line number
  while (sources.read_line() == 0) {
    lines.emplace_back(sources.current_line, sources.top_entry().is_expansion(), sources.top_entry().line_number);
  }
  const std::vector<std::tuple<std::string, bool, int>> expected = {
      {" ld a,1\n", true, 1}, {" nop\n", true, 2}, {"\n", false, 0}, {"after\n", false, 1}};
  EXPECT_EQ(lines, expected);
}

}  // namespace
}  // namespace zorm::test
