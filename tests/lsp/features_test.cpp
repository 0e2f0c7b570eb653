// Each feature through the real zorm-lsp: a program of two files on disk,
// the main file open in the editor.

#include <gtest/gtest.h>

#include <set>

#include "lsp_session.h"

namespace zorm::lsp::test {
namespace {

// Line numbers below are 0-based, as the protocol counts them.
const char* const DEFINITIONS =
    "count   equ     42\n"       // 0
    "twice   macro   reg\n"      // 1
    "        inc     reg\n"      // 2
    "        inc     reg\n"      // 3
    "        endm\n"             // 4
    "        struct  point\n"    // 5
    "        dw      px\n"       // 6
    "        dw      py\n"       // 7
    "        end     struct\n";  // 8

const char* const MAIN =
    "; Grüße: the main file\n"    // 0
    "        include \"defs.inc\"\n"  // 1
    "        org     0x100\n"     // 2
    "start:  ld      a,count\n"   // 3
    "        twice   b\n"         // 4
    "        call    show\n"      // 5
    "        jp      start\n"     // 6
    "show:   ld      hl,text\n"   // 7
    "        inc     hl\n"        // 8
    "        ld      a,(ix+py)\n" // 9
    "        ret\n"               // 10
    "text:   db      \"é\",0\n";  // 11

class Features : public ::testing::Test {
 protected:
  void SetUp() override {
    defs = sources.write("defs.inc", DEFINITIONS);
    main = sources.write("main.asm", MAIN);
    session.initialize(sources.root_uri(), {{"textDocument", {{"documentSymbol", {{"hierarchicalDocumentSymbolSupport", true}}}}}});
    session.open(main, MAIN);
    ASSERT_EQ(session.diagnostics(main, 1).at("diagnostics"), json::array());
  }
  json result(const std::string& method, const json& params) { return session.request(method, params).at("result"); }
  // The labels completion offers at a place.
  std::set<std::string> completions(int line, int character) {
    const json list = result("textDocument/completion", Session::at(main, line, character));
    std::set<std::string> labels;
    for (const json& item : list.at("items")) labels.insert(item.at("label"));
    return labels;
  }
  static json range(int line, int start, int end) {
    return {{"start", {{"line", line}, {"character", start}}}, {"end", {{"line", line}, {"character", end}}}};
  }
  static json location(const std::string& uri, int line, int start, int end) {
    return {{"uri", uri}, {"range", range(line, start, end)}};
  }

  Sources sources;
  ProcessSession session;
  std::string defs;
  std::string main;
};

TEST_F(Features, DefinitionOfSymbolsMacrosMembersAndIncludedFiles) {
  EXPECT_EQ(result("textDocument/definition", Session::at(main, 3, 20)), json::array({location(defs, 0, 0, 5)}));
  EXPECT_EQ(result("textDocument/definition", Session::at(main, 5, 17)), json::array({location(main, 7, 0, 4)}));
  EXPECT_EQ(result("textDocument/definition", Session::at(main, 4, 9)), json::array({location(defs, 1, 0, 5)}));
  EXPECT_EQ(result("textDocument/definition", Session::at(main, 9, 22)), json::array({location(defs, 7, 16, 18)}));
  EXPECT_EQ(result("textDocument/definition", Session::at(main, 1, 19)), json::array({location(defs, 0, 0, 0)}));
  EXPECT_EQ(result("textDocument/definition", Session::at(main, 0, 5)), json::array());  // a comment
  EXPECT_EQ(result("textDocument/definition", Session::at(main, 3, 9)), json::array());  // a mnemonic
}

TEST_F(Features, HoverShowsValuesAndWhereSymbolsAreDefined) {
  const json count = result("textDocument/hover", Session::at(main, 3, 19));
  EXPECT_EQ(count.at("contents").at("value"), "**count** equ 0x002a (42)\n\nDefined in `defs.inc`, line 1");
  EXPECT_EQ(count.at("range"), range(3, 18, 23));
  const json start = result("textDocument/hover", Session::at(main, 6, 18));
  EXPECT_EQ(start.at("contents").at("value"), "**start** label 0x0100 (256)\n\nDefined in `main.asm`, line 4");
  EXPECT_TRUE(result("textDocument/hover", Session::at(main, 4, 2)).is_null());  // the blank field
}

TEST_F(Features, HoverOverAnInstructionShowsItsListingLine) {
  const json load = result("textDocument/hover", Session::at(main, 3, 9));
  EXPECT_EQ(load.at("contents").at("value"),
            "```\n0100 : 3e2a             [ 7] start:  ld      a,count\n```\n2 bytes, 7 cycles on the Z80");
  const json index = result("textDocument/hover", Session::at(main, 9, 8));
  EXPECT_EQ(index.at("contents").at("value"),
            "```\n010d : dd7e02           [19]         ld      a,(ix+py)\n```\n3 bytes, 19 cycles on the Z80");
}

TEST_F(Features, ReferencesFindEveryUseAcrossTheFiles) {
  json params = Session::at(main, 0, 0);
  params = Session::at(defs, 0, 2);
  params["context"] = {{"includeDeclaration", true}};
  session.open(defs, DEFINITIONS);
  EXPECT_EQ(result("textDocument/references", params),
            json::array({location(main, 3, 18, 23), location(defs, 0, 0, 5)}));
  params["context"]["includeDeclaration"] = false;
  EXPECT_EQ(result("textDocument/references", params), json::array({location(main, 3, 18, 23)}));
  json start = Session::at(main, 3, 1);
  start["context"] = {{"includeDeclaration", true}};
  EXPECT_EQ(result("textDocument/references", start), json::array({location(main, 3, 0, 5), location(main, 6, 16, 21)}));
}

TEST_F(Features, DocumentSymbolsGiveTheOutline) {
  const json outline = result("textDocument/documentSymbol", {{"textDocument", {{"uri", main}}}});
  std::vector<std::string> names;
  for (const json& symbol : outline) names.push_back(symbol.at("name"));
  EXPECT_EQ(names, (std::vector<std::string>{"start", "show", "text"}));
  EXPECT_EQ(outline[0].at("kind"), 12);
  EXPECT_EQ(outline[0].at("selectionRange"), range(3, 0, 5));

  session.open(defs, DEFINITIONS);
  const json included = result("textDocument/documentSymbol", {{"textDocument", {{"uri", defs}}}});
  ASSERT_EQ(included.size(), 3u);
  EXPECT_EQ(included[0].at("name"), "count");
  EXPECT_EQ(included[0].at("kind"), 14);
  EXPECT_EQ(included[1].at("name"), "twice");
  EXPECT_EQ(included[2].at("name"), "point");
  EXPECT_EQ(included[2].at("kind"), 23);
  ASSERT_EQ(included[2].at("children").size(), 2u);
  EXPECT_EQ(included[2].at("children")[1].at("name"), "py");
}

TEST_F(Features, WorkspaceSymbolsMatchTheQuery) {
  const json found = result("workspace/symbol", {{"query", "sh"}});
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].at("name"), "show");
  EXPECT_EQ(found[0].at("location"), location(main, 7, 0, 4));
  EXPECT_GE(result("workspace/symbol", {{"query", ""}}).size(), 8u);
}

TEST_F(Features, CompletionOffersWhatFitsTheField) {
  session.change(main, 2, json::array({{{"range", range(10, 8, 11)}, {"text", "dj"}}}));
  const std::set<std::string> mnemonics = completions(10, 10);
  EXPECT_TRUE(mnemonics.count("djnz"));
  EXPECT_FALSE(mnemonics.count("ld"));

  session.change(main, 3, json::array({{{"range", range(10, 8, 10)}, {"text", "ld      a,"}}}));
  const std::set<std::string> operands = completions(10, 18);
  for (const char* expected : {"a", "hl", "ix", "nz", "count", "start", "px"}) EXPECT_TRUE(operands.count(expected)) << expected;
  EXPECT_FALSE(operands.count("ixh")) << "the index register halves need the z80x level";
  EXPECT_FALSE(operands.count("djnz"));
  EXPECT_FALSE(operands.count("twice"));
  // In the operation field the macro is offered.
  session.change(main, 4, json::array({{{"range", range(10, 8, 18)}, {"text", "tw"}}}));
  EXPECT_TRUE(completions(10, 10).count("twice"));
  EXPECT_TRUE(completions(0, 10).empty());  // a comment
}

TEST_F(Features, RenameRewritesEveryFileOfTheProgram) {
  const json prepared = result("textDocument/prepareRename", Session::at(main, 3, 20));
  EXPECT_EQ(prepared, json({{"range", range(3, 18, 23)}, {"placeholder", "count"}}));
  json params = Session::at(main, 3, 20);
  params["newName"] = "total";
  const json edit = result("textDocument/rename", params);
  EXPECT_EQ(edit, json({{"changes",
                         {{defs, {{{"range", range(0, 0, 5)}, {"newText", "total"}}}},
                          {main, {{{"range", range(3, 18, 23)}, {"newText", "total"}}}}}}}));
  params["newName"] = "ld";
  EXPECT_EQ(session.request("textDocument/rename", params).at("error").at("code"), -32803);
  params["newName"] = "start";
  EXPECT_EQ(session.request("textDocument/rename", params).at("error").at("message"), "A symbol named start exists already");
  EXPECT_TRUE(result("textDocument/prepareRename", Session::at(main, 3, 10)).is_null());
}

}  // namespace
}  // namespace zorm::lsp::test

namespace zorm::lsp::test {
namespace {

// A name used inside a macro body is recorded at each call; references and
// rename find it where it is written, and the local labels of expansions
// stay out of the outline.
TEST(MacroBodies, UsesInsideMacrosAreFoundAndRenamedWhereTheyAreWritten) {
  Sources sources;
  const std::string text =
      "counter equ     5\n"                    // 0
      "delay   macro   cnt\n"                  // 1
      "        local   loop\n"                 // 2
      "        ld      b,counter+cnt ; counter\n"  // 3
      "loop:   djnz    loop\n"                 // 4
      "        db      \"counter\",'counter'\n"  // 5
      "        endm\n"                         // 6
      "        delay   3\n"                    // 7
      "        delay   counter\n";             // 8
  const std::string uri = sources.write("m.asm", text);
  ProcessSession session;
  session.initialize(sources.root_uri());
  session.open(uri, text);
  ASSERT_TRUE(session.diagnostics(uri, 1).at("diagnostics").empty());

  json params = Session::at(uri, 0, 3);
  params["newName"] = "ticks";
  const json edits = session.request("textDocument/rename", params).at("result").at("changes").at(uri);
  std::vector<json> starts;
  for (const json& edit : edits) starts.push_back(edit.at("range").at("start"));
  EXPECT_EQ(starts, (std::vector<json>{{{"line", 0}, {"character", 0}},
                                       {{"line", 3}, {"character", 18}},
                                       {{"line", 8}, {"character", 16}}}));

  const json outline = session.request("textDocument/documentSymbol", {{"textDocument", {{"uri", uri}}}}).at("result");
  std::vector<std::string> names;
  for (const json& symbol : outline) names.push_back(symbol.at("name"));
  EXPECT_EQ(names, (std::vector<std::string>{"counter", "delay"}));
}

}  // namespace
}  // namespace zorm::lsp::test
