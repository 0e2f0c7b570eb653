// Assemblies in parallel threads give what they give alone. This test has a
// program of its own, built with ThreadSanitizer in CI; it uses only the
// public API.
#include <gtest/gtest.h>

#include <sstream>
#include <thread>
#include <vector>

#include "zorm/zorm.h"

namespace zorm::test {
namespace {

// Two different programs: other processors, formats, includes, macros,
// structures and diagnostics, so that any state the runs shared would show.
struct Program {
  std::string main;
  std::vector<std::pair<std::string, std::string>> files;
  AssemblyOptions options;
};

std::string repeated(const std::string& text, int times) {
  std::string all;
  for (int i = 0; i < times; ++i) all += text;
  return all;
}

Program first_program() {
  Program p;
  p.main = "/nonexistent-zorm/a/main.asm";
  p.files = {{p.main,
              "\torg $100\n"
              "count\tset 0\n"
              "step\tmacro n\n\tld a,n\n\tadd a,count\ncount\tset count+1\n\tendm\n" +
                  repeated("\tstep 3\n\tjr $+2\n\tcall far\n", 300) +
                  "\tinclude \"part.asm\"\n"
                  "far:\tret\n"
                  "\tld a,a\n"
                  "\tend $100\n"},
             {"/nonexistent-zorm/a/part.asm", " struct rec\n db first\n dw second\n end struct\n\tdb rec,second\n"}};
  p.options.processor = Processor::z80;
  p.options.object_format = ObjectFormat::intel_hex;
  p.options.include_paths = {"/nonexistent-zorm/a"};
  p.options.arguments = {"-l", "-t", "-c", "-u"};
  p.options.want_listing = true;
  p.options.want_debug_file = true;
  p.options.want_references = true;
  return p;
}

Program second_program() {
  Program p;
  p.main = "/nonexistent-zorm/b/main.asm";
  p.files = {{p.main,
              "\tcmap 'a', \"ABCDEFGHIJKLMNOPQRSTUVWXYZ\"\n" +
                  repeated("\tdb \"hello\", 13, 10\n\tmlt bc\n\tin0 b,(12)\n\tjp nz,undefined\n\tdw $\n", 250) +
                  "\tdb 300\n"},
             {"/nonexistent-zorm/b/unused.asm", "\tnop\n"}};
  p.options.processor = Processor::z180;
  p.options.object_format = ObjectFormat::s_records;
  p.options.arguments = {"-p", "-m", "-w"};
  p.options.defines = {"LEVEL=4"};
  p.options.want_listing = true;
  p.options.want_references = true;
  return p;
}

// Everything a result holds, as text to compare.
std::string summary(const AssemblyResult& r) {
  std::ostringstream s;
  s << r.exit_status << ' ' << static_cast<int>(r.stopped) << ' ' << static_cast<int>(r.processor) << '\n';
  for (const std::string& file : r.files) s << file << '\n';
  for (const Diagnostic& d : r.diagnostics) {
    s << d.file << ':' << d.line << ':' << d.column << ':' << d.length << ':' << d.message << ':'
      << static_cast<int>(d.severity) << ':' << d.pass << ':' << d.macro << ':' << d.expansion_line << '\n';
  }
  for (const SymbolInfo& i : r.symbols) {
    s << i.name << '=' << i.value << ':' << static_cast<int>(i.kind) << ':' << i.file << ':' << i.line << ':' << i.column
      << '\n';
  }
  for (const SymbolReference& i : r.references) {
    s << i.name << ':' << i.symbol << ':' << i.file << ':' << i.line << ':' << i.column << ':' << i.definition
      << i.in_expansion << '\n';
  }
  for (const LineRecord& l : r.lines) {
    s << l.file << ':' << l.line << ':' << l.address << ':' << l.size << ':' << l.cycles << ':' << l.segment
      << l.in_expansion << l.from_include << '\n';
  }
  for (const IncludeRecord& i : r.includes) s << i.file << ':' << i.line << ':' << i.path << ':' << i.target << '\n';
  s << std::string(r.memory.begin(), r.memory.end());
  for (bool used : r.used) s << (used ? 'x' : '-');
  s << std::string(r.object.begin(), r.object.end()) << (r.start_address ? static_cast<int>(*r.start_address) : -1)
    << r.listing << std::string(r.debug_file.begin(), r.debug_file.end()) << r.standard_output << r.standard_error;
  return s.str();
}

// Each run gets a provider of its own, as an editor would give each
// document version its snapshot.
std::string assemble_alone(const Program& program) {
  OverlayProvider overlay;
  for (const auto& [path, text] : program.files) overlay.set(path, text);
  AssemblyOptions options = program.options;
  options.main_file = program.main;
  options.sources = &overlay;
  return summary(assemble(options));
}

TEST(ParallelAssemblies, GiveWhatTheyGiveAlone) {
  const Program programs[2] = {first_program(), second_program()};
  const std::string alone[2] = {assemble_alone(programs[0]), assemble_alone(programs[1])};
  ASSERT_NE(alone[0], alone[1]);
  ASSERT_NE(alone[0].find("Symbol Table"), std::string::npos);
  ASSERT_NE(alone[1].find("Undefined label undefined"), std::string::npos);

  constexpr int ROUNDS = 3;
  std::string seen[2][ROUNDS];
  std::vector<std::thread> threads;
  for (int which = 0; which < 2; ++which) {
    threads.emplace_back([&, which] {
      for (int round = 0; round < ROUNDS; ++round) seen[which][round] = assemble_alone(programs[which]);
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int which = 0; which < 2; ++which) {
    for (int round = 0; round < ROUNDS; ++round) EXPECT_EQ(seen[which][round], alone[which]) << which << ' ' << round;
  }
}

TEST(ParallelAssemblies, KeywordsAndExpressionsFromManyThreads) {
  // The keyword list is built on first use, which these threads race for.
  std::vector<size_t> sizes(4);
  std::vector<int32_t> values(4);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < 4; ++i) {
    threads.emplace_back([&, i] {
      sizes[i] = language_keywords().size();
      ExpressionEvaluator evaluator({{"base", static_cast<int32_t>(i), SymbolKind::equ}});
      values[i] = evaluator.evaluate("base * 10 + 'A'").value;
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(sizes[i], language_keywords().size());
    EXPECT_EQ(values[i], static_cast<int32_t>(i) * 10 + 65);
  }
}

}  // namespace
}  // namespace zorm::test
