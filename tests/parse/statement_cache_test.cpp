#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assembly/assembler.h"
#include "support/fragment_generator.h"
#include "support/program_generator.h"
#include "support/temp_dir.h"

namespace zorm::test {
namespace {

// Everything a run shows, with or without kept lines.
struct Outcome {
  int status = 0;
  std::string out;
  std::string err;
  std::string listing;
  std::string object;
  std::string debug;
  // What a run that keeps records notes of its diagnostics and statements.
  std::string records;
  uint64_t replays = 0;
};

Outcome run(const TempDir& dir, const std::vector<std::string>& options, bool keep_lines, bool keep_records) {
  TextStream out;
  TextStream err;
  Assembler as(out, err);
  // Without kept lines, the parser decides every look-ahead from its tables.
  as.statement_cache.allowed = keep_lines;
  as.parser.remember_paths = keep_lines;
  // Random sources may call macros that call themselves many times over.
  as.statement_limit = 20000;
  as.keep_records = keep_records;
  std::vector<std::string> argv{"zorm", "-o" + dir.file("t.bin"), "-l" + dir.file("t.lst")};
  argv.insert(argv.end(), options.begin(), options.end());
  argv.push_back(dir.file("t.asm"));
  Outcome outcome;
  outcome.status = as.run(argv);
  outcome.out = out.text();
  outcome.err = err.text();
  outcome.listing = dir.read("t.lst");
  outcome.object = dir.read("t.bin");
  outcome.debug = dir.read("t.dbg");
  outcome.replays = as.statement_cache.replays;
  for (const Diagnostic& d : as.records.diagnostics) {
    outcome.records += std::to_string(d.file) + ":" + std::to_string(d.line) + ":" + std::to_string(d.column) + ":" +
                       std::to_string(d.length) + ":" + std::to_string(d.pass) + ":" + d.message + "\n";
  }
  for (const LineRecord& l : as.records.lines) {
    outcome.records += std::to_string(l.line) + " " + std::to_string(l.address) + " " + std::to_string(l.size) + " " +
                       std::to_string(l.cycles) + "\n";
  }
  return outcome;
}

// Runs the source both ways and expects the same of them; returns the run
// with kept lines.
Outcome expect_same_with_kept_lines(const std::string& source, const std::vector<std::string>& options = {"-c", "-x3"},
                                    bool keep_records = false) {
  TempDir dir(TempDir::Place::memory);
  dir.write("t.asm", source);
  const Outcome fresh = run(dir, options, false, keep_records);
  const Outcome kept = run(dir, options, true, keep_records);
  EXPECT_EQ(fresh.replays, 0u);
  EXPECT_EQ(kept.status, fresh.status) << source;
  EXPECT_EQ(kept.out, fresh.out) << source;
  EXPECT_EQ(kept.err, fresh.err) << source;
  EXPECT_EQ(kept.listing, fresh.listing) << source;
  EXPECT_EQ(kept.object, fresh.object) << source;
  EXPECT_EQ(kept.debug, fresh.debug) << source;
  EXPECT_EQ(kept.records, fresh.records) << source;
  return kept;
}

TEST(KeptLines, ForwardReferencesTakeTheirPass2Values) {
  // The same text before and after the label it names: unknown in pass 1,
  // known in pass 2 and again in pass 1's second copy; jr turns into jp only
  // where the distance says so.
  const std::string source =
      "\torg 0x100\n"
      "\tld hl,later+1\n"
      "\tjp later\n"
      "\tdw later,$\n"
      "later:\tld hl,later+1\n"
      "\tjp later\n"
      "\tdw later,$\n"
      "\tjp near\n"
      "\tjp near\n"
      "near:\tjp near\n";
  for (const auto& options : {std::vector<std::string>{"-c", "-x3"}, std::vector<std::string>{"-c", "-x3", "-n"}}) {
    const Outcome kept = expect_same_with_kept_lines(source, options);
    EXPECT_EQ(kept.status, 0) << kept.out;
    EXPECT_GE(kept.replays, 3u);  // three in pass 1, nine in pass 2
  }
  // Out of reach: an error of pass 1.
  EXPECT_EQ(expect_same_with_kept_lines("\tjr far\n\tjr far\n\tds 200\nfar:\tjr far\n", {"-x", "-n"}).status, 3);
}

TEST(KeptLines, ErrorsThatOnlyPass2FindsAreReportedAtTheSamePlace) {
  // Division by a zero defined later, a value out of range once known, the
  // same text with other comments behind it, and a line with a label.
  const std::string source =
      "\tld a,10/zero ; first\n"
      "\tld a,10/zero          ; second, further along\n"
      "\tld a,(ix+big)\n"
      "\tld a,(ix+big)\n"
      "\tjr away\n"
      "here\tld a,10/zero\n"
      "zero\tequ 0\n"
      "big\tequ 300\n"
      "away\tequ 0x1000\n";
  const Outcome kept = expect_same_with_kept_lines(source, {"-c", "-x3"}, true);
  EXPECT_EQ(kept.status, 3);
  EXPECT_GE(kept.replays, 6u);
  EXPECT_NE(kept.out.find("in pass 2"), std::string::npos) << kept.out;
}

TEST(KeptLines, ConditionsOnLaterNamesAndFalseBlocks) {
  const std::string source =
      "\tnop\n"
      "\tif later\n"
      "\tnop\n"
      "\tld a,later\n"
      "\telse\n"
      "\tld a,later\n"
      "\tnop\n"
      "\tendif\n"
      "\tif 0\n"
      "\tld a,later\n"
      "\tendif\n"
      "later\tequ 1\n"
      "\tld a,later\n";
  const Outcome kept = expect_same_with_kept_lines(source);
  EXPECT_EQ(kept.status, 0) << kept.out;
  EXPECT_GE(kept.replays, 6u);
}

TEST(KeptLines, Pass2MeetsOtherLinesWherePass1ReadTheOtherBranch) {
  // Pass 1 takes the else branch (the name is not yet known), pass 2 the if
  // branch: at the same places pass 2 meets lines that begin like those of
  // pass 1 and go on otherwise.
  const std::string source =
      "\tif later\n"
      "\tdb 12\n"
      "\tdb 1,2\n"
      "\tdb 'a' ; c\n"
      "\tdb 'a;' \n"
      "\tdw later\n"
      "\telse\n"
      "\tdb 1\n"
      "\tdb 1 ; 2\n"
      "\tdb 'a'\n"
      "\tdb 'a;' ; comment\n"
      "\tendif\n"
      "\tdb 1\n"
      "\tdb 'a'\n"
      "later\tequ 1\n";
  const Outcome kept = expect_same_with_kept_lines(source);
  EXPECT_EQ(kept.status, 0) << kept.out;
  EXPECT_GE(kept.replays, 3u);
}

TEST(KeptLines, ASourceWhoseLinesHardlyComeAgain) {
  // Thousands of different lines first: pass 1 stops looking lines up, and
  // pass 2 follows pass 1's order alone, also where a condition that came
  // out otherwise puts other lines in its way.
  std::string source;
  for (int i = 0; i < 9000; ++i) {
    source.append("n").append(std::to_string(i)).append("\tequ ").append(std::to_string(i % 977)).append("\n");
  }
  source +=
      "\tld a,n5\n"
      "\tld a,n5\n"
      "\tif later\n"
      "\tld a,later\n"
      "\tdb 1,2\n"
      "\telse\n"
      "\tdb 1\n"
      "\tendif\n"
      "\tld a,n5\n"
      "\tdb 1\n"
      "\tld a,10/later\n"
      "later\tequ 1\n";
  const Outcome kept = expect_same_with_kept_lines(source);
  EXPECT_EQ(kept.status, 0) << kept.out.substr(0, 2000);
  EXPECT_GE(kept.replays, 9000u);
}

TEST(KeptLines, MacroLinesWithOtherArgumentsAndLocalLabels) {
  const std::string source =
      "load\tmacro\tvalue,target\n"
      "\tlocal\tagain\n"
      "again\tld a,\\1\n"
      "\tld (\\2),a\n"
      "\tdjnz again\n"
      "\tendm\n"
      "\tload 1,buffer\n"
      "\tload 1,buffer\n"
      "\tload later,buffer+1\n"
      "\tload 'x',buffer\n"
      "later\tequ 7\n"
      "buffer\tds 4\n";
  const Outcome kept = expect_same_with_kept_lines(source, {"-c", "-x3", "-m"});
  EXPECT_EQ(kept.status, 0) << kept.out;
  EXPECT_GE(kept.replays, 10u);
}

TEST(KeptLines, NamesThatBecomeMacrosOrStayUndefined) {
  // In pass 2 the name is a macro's, which the lexer takes as an error; and
  // a name never defined.
  const Outcome macro = expect_same_with_kept_lines("\tdb later\n\tdb later\nlater\tmacro\n\tnop\n\tendm\n\tdb later\n");
  EXPECT_NE(macro.status, 0);
  EXPECT_EQ(expect_same_with_kept_lines("\tdb nowhere\n\tdb nowhere\n").status, 3);
}

TEST(KeptLines, SegmentsLocationAndRedefinitions) {
  const std::string source =
      "\tnop\n"
      "\tdw $\n"
      "\tbss\n"
      "\tnop\n"
      "\tdw $\n"
      "\tds 3\n"
      "\tcode\n"
      "\tds 3\n"
      "\tdw $\n"
      "twice:\n"
      "twice:\n"
      "value\tset 1\n"
      "value\tset 1\n"
      "\tdb value\n";
  const Outcome kept = expect_same_with_kept_lines(source);
  EXPECT_EQ(kept.status, 3);
  EXPECT_GE(kept.replays, 2u);
}

TEST(KeptLines, LabelsAreDefinedThroughTheirSymbols) {
  // A kept line with a label knows the label's symbol, and replaying it
  // defines that symbol without looking the name up: redefinitions of the
  // same text in pass 1, values checked in pass 2, a label that moves when a
  // condition comes out otherwise in pass 2, org and set with labels, and a
  // name longer than the 31 characters that count.
  const std::string source =
      "start:\tld a,1\n"
      "start:\tld a,1\n"
      "size\tequ last-start\n"
      "size\tequ last-start\n"
      "count\tset 1\n"
      "count\tset count+1\n"
      "count\tset count+1\n"
      "\tdb count,size\n"
      "\tif later\n"
      "\tdb 1,2,3\n"
      "\tendif\n"
      "moved:\tnop\n"
      "moved2\tnop\n"
      "\tdw moved,moved2\n"
      "there\torg 200h\n"
      "abcdefghijklmnopqrstuvwxyz0123456789\tequ 5\n"
      "\tdb abcdefghijklmnopqrstuvwxyz01234\n"
      "later\tequ 1\n"
      "last:\n";
  const Outcome kept = expect_same_with_kept_lines(source);
  EXPECT_NE(kept.status, 0);
  EXPECT_GE(kept.replays, 3u);
  // The same labels without errors, replayed in pass 2.
  const Outcome clean = expect_same_with_kept_lines(
      "first:\tld a,1\nsecond\tld b,2\nvalue\tequ second-first\n\tdw value,third\nthird:\n");
  EXPECT_EQ(clean.status, 0) << clean.out;
  EXPECT_GE(clean.replays, 4u);
}

TEST(KeptLines, NumbersOfEverySizeAndOperandsThatCannotFail) {
  // Numbers are kept in one, two or four bytes; the forms, conditions and
  // registers of operands without the lexer's position. Each line comes
  // twice, so pass 1 replays it too.
  std::string lines =
      "\tld a,255\n\tld hl,256\n\tld hl,65535\n\tld hl,65536\n\tdw -1,-256,70000,4294967295\n"
      "\tld (ix+127),b\n\tjp nz,$+3\n\tld a,(ix-5)\n\tex (sp),hl\n\tret c\n\tadd a,ixh\n";
  const Outcome z80 = expect_same_with_kept_lines(lines + lines);
  EXPECT_GE(z80.replays, 10u);
  // On the 8080 the index registers are errors, found afresh each time.
  const Outcome intel = expect_same_with_kept_lines(lines + lines, {"-x1"});
  EXPECT_NE(intel.status, 0);
}

TEST(KeptLines, QuotesAndCommentsDecideWhatIsCompared) {
  const std::string source =
      "\tdb 'a;b'\n"
      "\tdb 'a;c'\n"
      "\tdb \"a;b\" ; and a comment\n"
      "\tex af,af' ; swap\n"
      "\tex af,af'\n"
      "\tld a,';'\n"
      "\tld a,';' ; again\n"
      "\tld a,b\t; one\n"
      "\tld a,b    \n"
      "\tld a,b\n"
      "\tdb 1,2 ; x\n"
      "\tdb 1,2\n";
  const Outcome kept = expect_same_with_kept_lines(source);
  EXPECT_EQ(kept.status, 0) << kept.out;
  EXPECT_GE(kept.replays, 14u);
}

TEST(KeptLines, LongLinesAndStructures) {
  std::string operands = "0";
  for (int i = 1; i < 70; ++i) operands.append(",").append(std::to_string(i));
  const std::string source = "\tdb " + operands + "\n\tdb " + operands +
                             "\n\tstruct point\n\tdw px\n\tdw py\n\tend struct\n"
                             "\tstruct point\n\tdw px\n\tend struct\n"
                             "\tld a,py\n\tld a,py\n\tld a,point\n";
  const Outcome kept = expect_same_with_kept_lines(source);
  EXPECT_EQ(kept.status, 3);
  EXPECT_GE(kept.replays, 1u);
}

TEST(KeptLines, LinesOfAShapeMetBefore) {
  // Pass 1 keeps a line from an earlier line of the same shape, with its own
  // names and numbers. The traps: names that are keywords or mnemonics where
  // the model had a name, numbers with a base or a suffix, values that the
  // handler refuses, numbers past 32 bits, names at the 31-character limit,
  // redefinitions, names that are or become macros, forward references,
  // actions that can fail, and instructions in bss, whose names are never
  // read.
  const std::string source =
      "first:\tld a,1\n"
      "\tld a,2\n"
      "\tld a,b\n"
      "\tld a,count\n"
      "\tld a,later\n"
      "\tld a,300\n"
      "\tld a,0x10\n"
      "\tld a,12h\n"
      "\tld a,4294967297\n"
      "\tld a,99999999999\n"
      "\tld a,1e\n"
      "count\tequ 5\n"
      "other\tequ 6\n"
      "count\tequ 7\n"
      "third\tequ other\n"
      "fourth\tequ fifth\n"
      "fifth\tequ 1\n"
      "nop\tequ 3\n"
      "b\tequ 4\n"
      "ld\tequ 4\n"
      "x1 = 5\n"
      "x2 = x1\n"
      "x3 = 70000\n"
      "x3 = 70001\n"
      "v1\tset 1\n"
      "v1\tset 2\n"
      "\tjp first\n"
      "\tjp later\n"
      "\tjp mac\n"
      "\tjp nop\n"
      "later:\n"
      "again:\n"
      "later:\n"
      "\tld (ix+1),a\n"
      "\tld (ix+2),a\n"
      "\tld (ix+200),a\n"
      "lbl: db 1,2,3\n"
      "lbl2: db 4,5,6\n"
      "lbl3: db 7,8,300\n"
      "lbl4 db 1 , 2 , 3\n"
      "name_of_exactly_thirty_one_char equ 1\n"
      "name_of_exactly_thirty_one_chaz equ 2\n"
      "name_longer_than_thirty_one_characters equ 3\n"
      "name_longer_than_thirty_one_characterz equ 4\n"
      "\tdw name_of_exactly_thirty_one_char,name_of_exactly_thirty_one_chaz\n"
      "\tdw count,other\n"
      "\tdw af,other\n"
      "\tdw 1,2\n"
      "\tdw 3,4\n"
      "mac\tmacro\n"
      "\tnop\n"
      "\tendm\n"
      "\tjp mac\n"
      "\tbss\n"
      "\tld a,3\n"
      "\tjp only_in_bss\n"
      "\tds 2\n"
      "\tds 3\n"
      "\tcode\n"
      "\tld a,4\n";
  const Outcome kept = expect_same_with_kept_lines(source);
  EXPECT_NE(kept.status, 0);
  for (const auto& options : {std::vector<std::string>{"-x1"}, std::vector<std::string>{"-i", "-x3"},
                              std::vector<std::string>{"-x3", "-p", "-t", "-g"}}) {
    expect_same_with_kept_lines(source, options, true);
  }
  // Distinct lines of one shape are kept from the first of them: pass 1
  // replays all but that one, and pass 2 all of them.
  std::string equates;
  for (int i = 0; i < 100; ++i) equates += "name" + std::to_string(i) + "\tequ " + std::to_string(i * 7) + "\n";
  for (int i = 0; i < 100; ++i) equates += "\tld hl,name" + std::to_string(99 - i) + "\n";
  const Outcome shaped = expect_same_with_kept_lines(equates);
  EXPECT_EQ(shaped.status, 0) << shaped.out;
  EXPECT_GE(shaped.replays, 2 * 200u - 2);
}

TEST(KeptLines, RandomLinesOfFewShapes) {
  // Lines from a few dozen patterns, filled with names (labels, registers,
  // mnemonics, macros, names at the length limit) and numbers (of every
  // size, some with a base or a suffix): many lines share a shape with an
  // earlier one, and many of those cannot be kept from it.
  const std::vector<std::string> patterns{
      "\tld a,N", "\tld hl,W", "\tjp W", "W\tequ N", "W\tequ W", "W: db N,N,N", "\tdw W,N", "\tld (W),a",
      "\tld a,(W)", "\tout (N),a", "\tim N", "\trst N", "\tbit N,b", "W = N", "W = W", "W\tset N", "\tcall W",
      "\tjr nz,W", "\tadd a,N", "W:", "W", "W:\tnop", "\tds N", "\tld (ix+N),a", "\tld bc,N\t; c", "\tdjnz W",
      "\tld W,N", "\tdb 'W'", "W\tds N", "\tsub N", "\tcp W", "\tbss", "\tcode", "\tmac N"};
  const std::vector<std::string> names{"v1", "v2", "v3", "v4", "v5", "mac", "nowhere", "a", "hl", "nop", "ld", "db",
                                       ".dot", "?q", "long_name_of_thirty_one_chars_", "long_name_of_thirty_one_chars_x"};
  const std::vector<std::string> numbers{"0", "1", "7", "8", "56", "127", "128", "255", "256", "300", "65535", "65536",
                                         "4294967295", "4294967296", "0x10", "10h", "$10", "%101", "#1f", "@7", "1e"};
  for (uint32_t seed = 1; seed <= 60; ++seed) {
    Random r(seed);
    std::string source = "mac\tmacro\n\tld a,\\1\n\tendm\n";
    for (int line = 0; line < 80; ++line) {
      std::string text;
      for (const char c : r.pick(patterns)) {
        if (c == 'N') {
          text += r.pick(numbers);
        } else if (c == 'W') {
          text += r.pick(names);
        } else {
          text += c;
        }
      }
      source += text + "\n";
    }
    SCOPED_TRACE("seed " + std::to_string(seed));
    expect_same_with_kept_lines(source, seed % 2 != 0 ? std::vector<std::string>{"-x3"}
                                                      : std::vector<std::string>{"-x3", "-p", "-t", "-g"},
                                seed % 2 == 0);
  }
}

TEST(KeptLines, RandomSourcesAssembleAlikeBothWays) {
  // Lines of every kind, valid or not, in macros, conditional blocks and
  // structures; and generated programs with forward references.
  for (uint32_t seed = 1; seed <= 200; ++seed) {
    Random r(seed);
    std::string source = random_source(r, 120, {});
    for (int copy = 0; copy < 2; ++copy) source += random_source(r, 40, {});
    SCOPED_TRACE("seed " + std::to_string(seed));
    // With the pass 1 listing, the symbol table, the debug file and the
    // records an embedding program asks for, too.
    const bool all = seed % 2 != 0;
    expect_same_with_kept_lines(source,
                                all ? std::vector<std::string>{"-x3", "-p", "-t", "-g"}
                                    : std::vector<std::string>{"-c", "-x3", "-m"},
                                all);
  }
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    Random r(seed);
    ProgramShape shape;
    shape.level = static_cast<int>(seed % 5);
    shape.statements = 200;
    std::vector<std::string> options{"-c"};
    if (shape.level != 0) options.push_back("-x" + std::to_string(shape.level));
    if (seed % 2 == 0) options.push_back("-i");
    SCOPED_TRACE("program seed " + std::to_string(seed));
    const Outcome kept = expect_same_with_kept_lines(random_program(r, shape).text(), options);
    EXPECT_EQ(kept.status, 0) << kept.out;
    EXPECT_GT(kept.replays, 200u);
  }
}

}  // namespace
}  // namespace zorm::test
