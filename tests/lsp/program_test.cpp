// Programs split over several files through the real zorm-lsp: diagnostics
// of included files, edits that break and mend them, the project file.

#include <gtest/gtest.h>

#include <set>

#include "lsp_session.h"

namespace zorm::lsp::test {
namespace {

json range(int line, int start, int end) {
  return {{"start", {{"line", line}, {"character", start}}}, {"end", {{"line", line}, {"character", end}}}};
}

json edit(int line, int start, int end, const std::string& text) {
  return json::array({{{"range", range(line, start, end)}, {"text", text}}});
}

std::vector<std::string> messages(const json& published) {
  std::vector<std::string> found;
  for (const json& diagnostic : published.at("diagnostics")) found.push_back(diagnostic.at("message"));
  return found;
}

TEST(Program, AnEditThatBreaksAnIncludedFileAndThenMendsIt) {
  Sources sources;
  const std::string defs = sources.write("lib/defs.inc", "value   equ     5\n");
  const std::string main = sources.write("main.asm", "        include \"lib/defs.inc\"\n        ld      a,value\n");
  ProcessSession session;
  session.initialize(sources.root_uri());
  session.open(main, "        include \"lib/defs.inc\"\n        ld      a,value\n");
  EXPECT_TRUE(session.diagnostics(main, 1).at("diagnostics").empty());

  // The included file, opened: checked through the main file that includes it.
  session.open(defs, "value   equ     5\n");
  EXPECT_TRUE(session.diagnostics(defs, 1).at("diagnostics").empty());
  session.change(defs, 2, edit(0, 16, 17, "(5"));
  const json broken = session.diagnostics(defs, 2);
  ASSERT_EQ(broken.at("diagnostics").size(), 1u);
  EXPECT_EQ(broken.at("diagnostics")[0].at("source"), "zorm");
  EXPECT_EQ(broken.at("diagnostics")[0].at("severity"), 1);
  session.change(defs, 3, edit(0, 16, 18, "5"));
  EXPECT_TRUE(session.diagnostics(defs, 3).at("diagnostics").empty());

  // The main file, broken by a name the included file does not define.
  session.change(main, 2, edit(1, 18, 23, "valve"));
  const json undefined = session.diagnostics(main, 2);
  ASSERT_EQ(messages(undefined), std::vector<std::string>{"Undefined label valve"});
  EXPECT_EQ(undefined.at("diagnostics")[0].at("range"), range(1, 18, 23)) << "marked where the name is written";
  session.change(main, 3, edit(1, 18, 23, "value"));
  EXPECT_TRUE(session.diagnostics(main, 3).at("diagnostics").empty());

  // Closing the main file drops the program: the diagnostics of its files go.
  session.change(main, 4, edit(1, 8, 10, "lx"));
  EXPECT_FALSE(session.diagnostics(main, 4).at("diagnostics").empty());
  session.notify("textDocument/didClose", {{"textDocument", {{"uri", defs}}}});
  session.notify("textDocument/didClose", {{"textDocument", {{"uri", main}}}});
  EXPECT_TRUE(session.diagnostics(main).at("diagnostics").empty());
}

TEST(Program, ErrorsInAnIncludedFileThatIsNotOpenAreReportedForIt) {
  Sources sources;
  const std::string defs = sources.write("defs.inc", "        nop\n        ld      a,(\n");
  const std::string main = sources.uri("main.asm");
  const std::string text = "        include \"defs.inc\"\n        halt\n";
  sources.write("main.asm", text);
  ProcessSession session;
  session.initialize(sources.root_uri());
  session.open(main, text);
  const json included = session.diagnostics(defs);
  EXPECT_FALSE(included.contains("version"));
  ASSERT_EQ(included.at("diagnostics").size(), 1u);
  EXPECT_EQ(included.at("diagnostics")[0].at("range").at("start").at("line"), 1);
}

TEST(Program, TheProjectFileGivesMainFileLevelDefinesAndIncludePaths) {
  Sources sources;
  sources.write("zorm.json", R"({"main":"src/main.asm","processor":"8080","defines":["SIZE=3"],"includePaths":["inc"]})");
  const std::string part = sources.write("src/part.asm", "        ld      a,SIZE\n        exx\n");
  sources.write("inc/common.inc", "        nop\n");
  const std::string main = sources.write("src/main.asm", "        include \"common.inc\"\n        include \"src/part.asm\"\n");
  ProcessSession session;
  session.initialize(sources.root_uri());
  // Opening the part checks the whole program through src/main.asm.
  session.open(part, "        ld      a,SIZE\n        exx\n");
  const json published = session.diagnostics(part, 1);
  ASSERT_EQ(published.at("diagnostics").size(), 1u) << "exx is no 8080 instruction; SIZE is defined";
  EXPECT_EQ(published.at("diagnostics")[0].at("range").at("start").at("line"), 1);

  // Completion offers the 8080's instructions only.
  const json offered = session.request("textDocument/completion", Session::at(part, 1, 9)).at("result");
  std::set<std::string> labels;
  for (const json& item : offered.at("items")) labels.insert(item.at("label"));
  EXPECT_TRUE(labels.count("ei"));
  EXPECT_FALSE(labels.count("exx"));
  EXPECT_FALSE(labels.count("rim")) << "an 8085 instruction";

  // Mended, the program gets its second pass: instructions show their cycles at the 8080 level.
  session.change(part, 2, edit(1, 8, 11, "inc     hl"));
  EXPECT_TRUE(session.diagnostics(part, 2).at("diagnostics").empty());
  const json hover = session.request("textDocument/hover", Session::at(part, 1, 9)).at("result");
  EXPECT_EQ(hover.at("contents").at("value"),
            "```\n0003 : 23               [ 5]         inc     hl\n```\n1 byte, 5 cycles on the 8080");
  (void)main;
}

TEST(Program, AProjectFileThatCannotBeUsedIsToldAndTheDefaultsHold) {
  Sources sources;
  sources.write("zorm.json", R"({"processor":"6502"})");
  const std::string text = "        exx\n";
  const std::string uri = sources.write("a.asm", text);
  ProcessSession session;
  session.initialize(sources.root_uri());
  session.open(uri, text);
  EXPECT_TRUE(session.diagnostics(uri, 1).at("diagnostics").empty()) << "the Z80 level holds";
  const json told = session.notification("window/showMessage");
  EXPECT_EQ(told.at("type"), 2);
  EXPECT_NE(told.at("message").get<std::string>().find("\"processor\" must be one of"), std::string::npos);

  // A main file that is not there: each file is checked on its own.
  sources.write("zorm.json", R"({"main":"missing.asm"})");
  session.notify("workspace/didChangeWatchedFiles", {{"changes", {{{"uri", sources.uri("zorm.json")}, {"type", 2}}}}});
  EXPECT_NE(session.notification("window/showMessage").at("message").get<std::string>().find("cannot read the main file"),
            std::string::npos);
  session.change(uri, 2, edit(0, 8, 11, "ld      a,("));
  EXPECT_EQ(session.diagnostics(uri, 2).at("diagnostics").size(), 1u);
}

TEST(Program, ColumnsCountUtf16UnitsAfterNonAsciiText) {
  Sources sources;
  // The error token stands after a string holding "é" (2 bytes, 1 unit)
  // and "𝄞" (4 bytes, 2 units).
  const std::string text = "        db      \"é𝄞\",)\n";
  const std::string uri = sources.write("u.asm", text);
  ProcessSession utf16;
  utf16.initialize(sources.root_uri());
  utf16.open(uri, text);
  const json wide = utf16.diagnostics(uri, 1).at("diagnostics");
  ASSERT_EQ(wide.size(), 1u);
  const int column16 = wide[0].at("range").at("start").at("character");

  ProcessSession utf8;
  utf8.initialize(sources.root_uri(), {{"general", {{"positionEncodings", {"utf-8"}}}}});
  utf8.open(uri, text);
  const json narrow = utf8.diagnostics(uri, 1).at("diagnostics");
  ASSERT_EQ(narrow.size(), 1u);
  const int column8 = narrow[0].at("range").at("start").at("character");
  EXPECT_EQ(column8 - column16, 3) << "é and 𝄞 take 6 bytes and 3 UTF-16 units";
}

}  // namespace
}  // namespace zorm::lsp::test
