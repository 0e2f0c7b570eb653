// assemble(): results as data, for a source held in memory or on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "support/assemble.h"
#include "zorm/zorm.h"

namespace zorm::test {
namespace {

// Sources under a folder that does not exist, so that nothing can come from
// (or go to) the disk by accident.
constexpr const char* MAIN = "/nonexistent-zorm/main.asm";

AssemblyResult assemble_text(const std::string& text, AssemblyOptions options = {},
                             std::initializer_list<std::pair<std::string, std::string>> more = {}) {
  OverlayProvider overlay;
  overlay.set(MAIN, text);
  for (const auto& [path, content] : more) overlay.set(path, content);
  options.main_file = MAIN;
  options.sources = &overlay;
  options.include_paths.push_back("/nonexistent-zorm");
  return assemble(options);
}

const SymbolInfo* symbol(const AssemblyResult& result, const std::string& name) {
  for (const SymbolInfo& info : result.symbols) {
    if (info.name == name) return &info;
  }
  return nullptr;
}

// Options set field by field (designated initializers that leave fields out
// draw -Wmissing-field-initializers from g++ 12).
template <typename Set>
AssemblyOptions with(Set set) {
  AssemblyOptions options;
  set(options);
  return options;
}

std::string text_of(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(Assemble, ObjectImageAndUsedMarksOfAProgramHeldInMemory) {
  const AssemblyResult result = assemble_text("\torg $100\nstart:\tld a,5\n\tjr start\n\tend start\n",
                                              with([&](AssemblyOptions& o) { o.processor = Processor::z80; }));
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.stopped, StopReason::none);
  EXPECT_EQ(result.processor, Processor::z80);
  EXPECT_EQ(result.object, (std::vector<uint8_t>{0x3E, 0x05, 0x18, 0xFC}));
  ASSERT_EQ(result.memory.size(), 65536u);
  ASSERT_EQ(result.used.size(), 65536u);
  EXPECT_EQ(result.memory[0x100], 0x3E);
  EXPECT_EQ(result.memory[0x103], 0xFC);
  EXPECT_EQ(std::count(result.used.begin(), result.used.end(), true), 4);
  EXPECT_TRUE(result.used[0x100] && result.used[0x103] && !result.used[0x104]);
  EXPECT_EQ(result.start_address, 0x100u);
  EXPECT_EQ(result.files, std::vector<std::string>{MAIN});
  // The banner and the summary, as the command line prints them.
  EXPECT_EQ(result.standard_output, "ZORM Assembler for i8080 [1.42].  (c) The ZORM developers\n");
}

TEST(Assemble, ObjectFormatsAndTypedOptionsFollowTheOptionStrings) {
  const std::string source = "\torg $10\n\tdb 1,2,3\n";
  const AssemblyResult hex =
      assemble_text(source, with([&](AssemblyOptions& o) { o.arguments = {"-s1"}; o.object_format = ObjectFormat::intel_hex; }));
  EXPECT_EQ(text_of(hex.object), ":03001000010203E7\n:00000001FF\n");
  const AssemblyResult records = assemble_text(source, with([&](AssemblyOptions& o) { o.arguments = {"-s1"}; }));
  EXPECT_EQ(text_of(records.object), "S1060010010203E3\nS5030001FB\n");

  // The typed processor comes after the option strings, so it wins.
  const AssemblyResult z180 = assemble_text("\tmlt bc\n", with([&](AssemblyOptions& o) { o.arguments = {"-x1"}; o.processor = Processor::z180; }));
  EXPECT_EQ(z180.exit_status, 0);
  EXPECT_EQ(z180.processor, Processor::z180);
  EXPECT_EQ(z180.object, (std::vector<uint8_t>{0xED, 0x4C}));

  const AssemblyResult defined =
      assemble_text("\tif ONE\n\tdb VALUE\n\tendif\n", with([&](AssemblyOptions& o) { o.defines = {"ONE", "VALUE=0x41"}; }));
  EXPECT_EQ(defined.object, std::vector<uint8_t>{0x41});
}

TEST(Assemble, DiagnosticsPlaceTheMarkerAfterTheOffendingToken) {
  const std::string source = "\tnop\n\tld a,foo bar\n\txyz a\n\tld a,\\1\n";
  const AssemblyResult result = assemble_text(source, with([&](AssemblyOptions& o) { o.processor = Processor::z80; }));
  EXPECT_EQ(result.exit_status, 3);
  ASSERT_GE(result.diagnostics.size(), 3u);
  struct Expected {
    int line;
    int column;
    int length;
    const char* message;
  };
  const Expected expected[] = {{2, 13, 3, "Syntax error"}, {3, 4, 3, "Invalid mnemonic"}, {4, 7, 1, "Invalid format"}};
  std::vector<std::string> lines = {"", "\tnop", "\tld a,foo bar", "\txyz a", "\tld a,\\1"};
  for (size_t i = 0; i < 3; ++i) {
    const Diagnostic& d = result.diagnostics[i];
    EXPECT_EQ(d.file, 0);
    EXPECT_EQ(d.line, expected[i].line);
    EXPECT_EQ(d.column, expected[i].column);
    EXPECT_EQ(d.length, expected[i].length);
    EXPECT_EQ(d.message, expected[i].message);
    EXPECT_EQ(d.severity, Severity::error);
    EXPECT_EQ(d.pass, 1);
    // The printed form puts "<<" exactly at the column.
    const std::string& text = lines[static_cast<size_t>(d.line)];
    const std::string printed = std::to_string(d.line) + ":" + text.substr(0, static_cast<size_t>(d.column)) + "<<" +
                                text.substr(static_cast<size_t>(d.column)) + "\n";
    EXPECT_NE(result.standard_output.find(printed), std::string::npos) << printed;
  }
  // After pass 1: the undefined names, at the main file's line of their first
  // reference, without a column.
  std::vector<std::string> undefined;
  for (const Diagnostic& d : result.diagnostics) {
    if (d.message.rfind("Undefined label ", 0) == 0) {
      undefined.push_back(d.message);
      EXPECT_EQ(d.line, 2);
      EXPECT_EQ(d.column, -1);
    }
  }
  EXPECT_EQ(undefined, (std::vector<std::string>{"Undefined label bar", "Undefined label foo"}));
}

TEST(Assemble, DiagnosticsInsideExpansionsAndIncludesAndWarnings) {
  const AssemblyResult result = assemble_text(
      "twice\tmacro\n\tnop\n\tld a,(\n\tendm\n\n\ttwice\n\tinclude \"part.asm\"\n",
      with([&](AssemblyOptions& o) { o.processor = Processor::z80; }), {{"/nonexistent-zorm/part.asm", "\tnop\n\tdb 300\n"}});
  ASSERT_EQ(result.diagnostics.size(), 2u);
  const Diagnostic& in_macro = result.diagnostics[0];
  EXPECT_EQ(in_macro.file, 0);
  EXPECT_EQ(in_macro.line, 6);  // the macro call
  EXPECT_EQ(in_macro.macro, "twice");
  EXPECT_EQ(in_macro.expansion_line, 2);
  EXPECT_NE(result.standard_output.find("\"" + std::string(MAIN) + "\",6 (twice) : Syntax error.\n"), std::string::npos);
  const Diagnostic& in_include = result.diagnostics[1];
  EXPECT_EQ(result.files.at(static_cast<size_t>(in_include.file)), "/nonexistent-zorm/part.asm");
  EXPECT_EQ(in_include.line, 2);
  EXPECT_EQ(in_include.column, -1);
  EXPECT_EQ(in_include.message, "Value not within allowed range");
  EXPECT_TRUE(in_include.macro.empty());

  const AssemblyResult warned = assemble_text("\tld a,a\n");
  ASSERT_EQ(warned.diagnostics.size(), 1u);
  EXPECT_EQ(warned.exit_status, 0);
  EXPECT_EQ(warned.diagnostics[0].severity, Severity::warning);
  EXPECT_EQ(warned.diagnostics[0].pass, 2);
  EXPECT_EQ(warned.diagnostics[0].message, "Probably unintended NOP");

  const AssemblyResult missing = assemble(with([&](AssemblyOptions& o) { o.main_file = "/nonexistent-zorm/none"; o.write_files = false; }));
  EXPECT_EQ(missing.exit_status, 2);
  ASSERT_EQ(missing.diagnostics.size(), 1u);
  EXPECT_EQ(missing.diagnostics[0].message, "Can't open source file /nonexistent-zorm/none.s");
  EXPECT_TRUE(missing.memory.empty() || missing.memory.size() == 65536u);
}

TEST(Assemble, SymbolsKnowTheirKindAndWhereTheyAreDefined) {
  const AssemblyResult result = assemble_text(
      "; kinds\n"
      "start:\tnop\n"
      "size\tequ 4\n"
      "count\tset 1\n"
      "count\tset 2\n"
      "step = 3\n"
      "pair\tmacro\n\tnop\n\tendm\n"
      " struct rec\n db first\n label at\n dw second\n end struct\n"
      "\tinclude \"more.asm\"\n",
      with([&](AssemblyOptions& o) {
        o.processor = Processor::z80;
        o.defines = {"FLAG=2"};
      }),
      {{"/nonexistent-zorm/more.asm", "\n  nop\nlater:\tnop\n"}});
  ASSERT_EQ(result.exit_status, 0) << result.standard_output;
  struct Expected {
    const char* name;
    SymbolKind kind;
    int32_t value;
    int file;
    int line;
    int column;
  };
  const Expected expected[] = {
      {"start", SymbolKind::label, 0, 0, 2, 0},      {"size", SymbolKind::equ, 4, 0, 3, 0},
      {"count", SymbolKind::set, 2, 0, 4, 0},        {"step", SymbolKind::set, 3, 0, 6, 0},
      {"pair", SymbolKind::macro, 0, 0, 7, 0},       {"rec", SymbolKind::structure, 3, 0, 10, 8},
      {"first", SymbolKind::member, 0, 0, 11, 4},    {"at", SymbolKind::member, 1, 0, 12, 7},
      {"second", SymbolKind::member, 1, 0, 13, 4},   {"later", SymbolKind::label, 2, 1, 3, 0},
      {"FLAG", SymbolKind::equ, 2, -1, 0, 0},        {"__Z80__", SymbolKind::equ, 1, -1, 0, 0},
  };
  for (const Expected& e : expected) {
    const SymbolInfo* info = symbol(result, e.name);
    ASSERT_NE(info, nullptr) << e.name;
    EXPECT_EQ(info->kind, e.kind) << e.name;
    EXPECT_EQ(info->value, e.value) << e.name;
    EXPECT_EQ(info->file, e.file) << e.name;
    EXPECT_EQ(info->line, e.line) << e.name;
    EXPECT_EQ(info->column, e.column) << e.name;
  }
  EXPECT_EQ(result.symbols.size(), std::size(expected));
  // In the symbol table's order: A a B b ... then digits and the rest.
  EXPECT_EQ(result.symbols.front().name, "at");
  EXPECT_EQ(result.symbols.back().name, "__Z80__");
}

TEST(Assemble, ReferencesOnlyWhenAskedFor) {
  const std::string source =
      "\tjp go\n"
      "go:\tld a,value\n"
      "value\tequ 1\n"
      "load\tmacro arg\n\tld b,arg\n\tendm\n"
      "\tload value+go\n"
      "\tif unknown\n\tendif\n";
  EXPECT_TRUE(assemble_text(source).references.empty());
  const AssemblyResult result = assemble_text(source, with([&](AssemblyOptions& o) { o.want_references = true; }));
  ASSERT_EQ(result.exit_status, 0) << result.standard_output;
  struct Expected {
    const char* name;
    int line;
    int column;
    bool definition;
    bool in_expansion;
    bool defined;
  };
  const Expected expected[] = {
      {"go", 1, 4, false, false, true},     {"go", 2, 0, true, false, true},
      {"value", 2, 9, false, false, true},  {"value", 3, 0, true, false, true},
      {"load", 4, 0, true, false, true},    {"load", 7, 1, false, false, true},
      {"value", 7, 1, false, true, true},   {"go", 7, 1, false, true, true},
      {"unknown", 8, 4, false, false, false},
  };
  ASSERT_EQ(result.references.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const SymbolReference& r = result.references[i];
    const Expected& e = expected[i];
    EXPECT_EQ(r.name, e.name) << i;
    EXPECT_EQ(r.file, 0) << i;
    EXPECT_EQ(r.line, e.line) << i;
    EXPECT_EQ(r.column, e.column) << i;
    EXPECT_EQ(r.definition, e.definition) << i;
    EXPECT_EQ(r.in_expansion, e.in_expansion) << i;
    if (e.defined) {
      ASSERT_GE(r.symbol, 0) << i;
      EXPECT_EQ(result.symbols[static_cast<size_t>(r.symbol)].name, e.name);
    } else {
      EXPECT_EQ(r.symbol, -1) << i;
    }
  }
}

TEST(Assemble, LineMapCoversStatementsOfIncludesAndExpansions) {
  const AssemblyResult result = assemble_text(
      "\torg $100\n"
      "; a comment line\n"
      "start:\tld a,5\n"
      "pair\tmacro\n\tinc a\n\tnop\n\tendm\n"
      "\tpair\n"
      "\tif 0\n\tnop\n\tendif\n"
      "\tinclude \"part.asm\"\n"
      "\tdata\n"
      "table:\tdw start\n"
      "\tbss\n"
      "buffer:\tds 16\n",
      with([&](AssemblyOptions& o) { o.processor = Processor::z80; }), {{"/nonexistent-zorm/part.asm", "\tjr start\n"}});
  ASSERT_EQ(result.exit_status, 0) << result.standard_output;
  struct Expected {
    int file;
    int line;
    uint32_t address;
    uint32_t size;
    int cycles;
    int segment;
    bool in_expansion;
  };
  const Expected expected[] = {
      {0, 1, 0x100, 0, 0, 0, false},  {0, 3, 0x100, 2, 7, 0, false},   {0, 4, 0x102, 0, 0, 0, false},
      {0, 8, 0x102, 0, 0, 0, false},  {0, 8, 0x102, 1, 4, 0, true},    {0, 8, 0x103, 1, 4, 0, true},
      {0, 9, 0x104, 0, 0, 0, false},  {0, 11, 0x104, 0, 0, 0, false},  {0, 12, 0x104, 0, 0, 0, false},
      // A segment line shows the counter of the segment it selects, as the
      // listing does.
      {1, 1, 0x104, 2, 12, 0, false}, {0, 13, 0x000, 0, 0, 1, false},  {0, 14, 0x000, 2, 0, 1, false},
      {0, 15, 0x000, 0, 0, 2, false}, {0, 16, 0x000, 16, 0, 2, false},
  };
  ASSERT_EQ(result.lines.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const LineRecord& l = result.lines[i];
    const Expected& e = expected[i];
    EXPECT_EQ(l.file, e.file) << i;
    EXPECT_EQ(l.line, e.line) << i;
    EXPECT_EQ(l.address, e.address) << i;
    EXPECT_EQ(l.size, e.size) << i;
    EXPECT_EQ(l.cycles, e.cycles) << i;
    EXPECT_EQ(l.segment, e.segment) << i;
    EXPECT_EQ(l.in_expansion, e.in_expansion) << i;
    EXPECT_EQ(l.from_include, e.file != 0) << i;
  }
}

TEST(Assemble, IncludeDirectivesAreRecordedFoundOrNot) {
  const AssemblyResult result =
      assemble_text("\tinclude \"part.asm\"\n  include 'data.bin'\n\tinclude \"none.asm\"\n", AssemblyOptions{},
                    {{"/nonexistent-zorm/part.asm", "\tnop\n"}, {"/nonexistent-zorm/data.bin", std::string("\x07\x00", 2)}});
  ASSERT_EQ(result.includes.size(), 3u);
  const IncludeRecord& source = result.includes[0];
  EXPECT_EQ(source.file, 0);
  EXPECT_EQ(source.line, 1);
  EXPECT_EQ(source.column, 9);
  EXPECT_EQ(source.length, 10);
  EXPECT_EQ(source.name, "part.asm");
  EXPECT_EQ(source.path, "/nonexistent-zorm/part.asm");
  ASSERT_GE(source.target, 1);
  EXPECT_EQ(result.files.at(static_cast<size_t>(source.target)), source.path);
  const IncludeRecord& binary = result.includes[1];
  EXPECT_EQ(binary.line, 2);
  EXPECT_EQ(binary.column, 10);
  EXPECT_EQ(binary.length, 10);
  EXPECT_EQ(binary.path, "/nonexistent-zorm/data.bin");
  EXPECT_EQ(binary.target, -1);
  const IncludeRecord& missing = result.includes[2];
  EXPECT_EQ(missing.name, "none.asm");
  EXPECT_TRUE(missing.path.empty());
  EXPECT_EQ(missing.target, -1);
  EXPECT_EQ(result.memory[1], 0x07);  // after the nop
}

// ---- files on disk ------------------------------------------------------------

TEST(Assemble, WithoutWriteFilesNothingReachesTheDisk) {
  TempDir dir;
  const std::string source = dir.write("t.asm", "\tdb 1\nx:\tld a,x\n");
  const AssemblyResult result = assemble(with([&](AssemblyOptions& o) { o.main_file = source; o.arguments = {"-l", "-t", "-u", "-g"}; o.want_listing = true; o.want_debug_file = true; }));
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.object, (std::vector<uint8_t>{0x01, 0x3E, 0x01}));
  EXPECT_NE(result.listing.find("Symbol Table"), std::string::npos);
  EXPECT_NE(result.listing.find("Memory Usage Map"), std::string::npos);
  EXPECT_FALSE(result.debug_file.empty());
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) names.push_back(entry.path().filename());
  EXPECT_EQ(names, std::vector<std::string>{"t.asm"});
}

TEST(Assemble, WithWriteFilesTheFilesAreThoseOfTheCommandLine) {
  TempDir by_library;
  TempDir by_command_line;
  const std::string text = "\torg $200\nstart:\tld hl,start\n\tdb \"text\",0\n\tend start\n";
  const std::vector<std::string> options = {"-l", "-t", "-s2", "-v"};
  const std::string source = by_library.write("t.asm", text);
  const AssemblyResult result = assemble(with([&](AssemblyOptions& o) {
    o.main_file = source;
    o.arguments = options;
    o.write_files = true;
    o.want_listing = true;
    o.want_debug_file = true;
  }));
  std::vector<std::string> args = options;
  args.push_back(by_command_line.write("t.asm", text));
  const RunResult run = run_assembler(args);

  EXPECT_EQ(result.exit_status, run.status);
  for (const char* name : {"t.hex", "t.lst", "t.dbg"}) {
    std::string expected = by_command_line.read(name);
    // The listing's title and the progress lines name the file.
    for (size_t at = expected.find(by_command_line.path()); at != std::string::npos;
         at = expected.find(by_command_line.path(), at))
      expected.replace(at, by_command_line.path().size(), by_library.path());
    if (std::string(name) != "t.dbg") {
      EXPECT_EQ(by_library.read(name), expected) << name;
    } else {
      EXPECT_TRUE(by_library.exists(name));
    }
  }
  EXPECT_EQ(text_of(result.object), by_library.read("t.hex"));
  EXPECT_EQ(result.listing, by_library.read("t.lst"));
  EXPECT_EQ(text_of(result.debug_file), by_library.read("t.dbg"));
  EXPECT_NE(result.standard_output.find("No errors in pass 2."), std::string::npos);
}

TEST(Assemble, StandardStreamsGoToTheGivenFiles) {
  TempDir dir;
  const std::string source = dir.write("t.asm", "\tnop\n");
  FILE* out = std::tmpfile();
  FILE* err = std::tmpfile();
  ASSERT_TRUE(out != nullptr && err != nullptr);
  const AssemblyResult result =
      assemble(with([&](AssemblyOptions& o) { o.main_file = source; o.arguments = {"-v"}; o.standard_output = out; o.standard_error = err; }));
  EXPECT_TRUE(result.standard_output.empty());
  EXPECT_TRUE(result.standard_error.empty());
  auto contents = [](FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) text.push_back(static_cast<char>(c));
    std::fclose(file);
    return text;
  };
  EXPECT_NE(contents(out).find("Pass 2."), std::string::npos);
  EXPECT_NE(contents(err).find("Reading from file"), std::string::npos);
}

TEST(Assemble, TheIncludeEnvironmentVariableOnlyWhenAskedFor) {
  TempDir dir;
  dir.write("lib/value.asm", "value\tequ 5\n");
  const std::string source = dir.write("t.asm", "\tinclude \"value.asm\"\n\tdb value\n");
  ASSERT_EQ(::setenv("INCLUDE", dir.file("lib").c_str(), 1), 0);
  const AssemblyResult plain = assemble(with([&](AssemblyOptions& o) { o.main_file = source; }));
  const AssemblyResult from_environment = assemble(with([&](AssemblyOptions& o) { o.main_file = source; o.use_include_environment = true; }));
  ::unsetenv("INCLUDE");
  EXPECT_EQ(plain.exit_status, 3);
  EXPECT_EQ(from_environment.exit_status, 0);
  EXPECT_EQ(from_environment.object, std::vector<uint8_t>{5});
}

// ---- stopping early -------------------------------------------------------------

TEST(Assemble, ACancelledAssemblyStops) {
  const std::atomic<bool> cancel{true};
  const AssemblyResult result = assemble_text("\tnop\n", with([&](AssemblyOptions& o) { o.cancel = &cancel; }));
  EXPECT_EQ(result.stopped, StopReason::cancelled);
  EXPECT_EQ(result.exit_status, 3);
  EXPECT_TRUE(result.object.empty());
  const std::atomic<bool> go_on{false};
  EXPECT_EQ(assemble_text("\tnop\n", with([&](AssemblyOptions& o) { o.cancel = &go_on; })).stopped, StopReason::none);
}

TEST(Assemble, TheStatementBudgetStopsARunawayMacro) {
  // Each expansion calls the macro twice: 2^19 expansions before the nesting
  // limit would end it.
  const std::string bomb = "bomb\tmacro\n\tbomb\n\tbomb\n\tendm\n\tbomb\n";
  const AssemblyResult result = assemble_text(bomb, with([&](AssemblyOptions& o) { o.statement_budget = 5000; }));
  EXPECT_EQ(result.stopped, StopReason::budget);
  EXPECT_EQ(result.exit_status, 3);
  const AssemblyResult fits = assemble_text("\tnop\n; two\n\tnop\n", with([&](AssemblyOptions& o) { o.statement_budget = 10; }));
  EXPECT_EQ(fits.stopped, StopReason::none);
  EXPECT_EQ(fits.exit_status, 0);
}

}  // namespace
}  // namespace zorm::test
