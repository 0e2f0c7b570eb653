// Assembles small versions of the benchmark sources (tests/bench/data,
// written by bench/gen.py) and compares every output with a checked-in
// digest: the object file, the listing, the debug file, standard output and
// standard error. A change that makes the assembler faster must leave all of
// them as they are; a failure prints the new digest next to the old one.
//
// When an output changes on purpose, review the change and paste the new
// digests printed by the failing test into the tables below.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/assemble.h"

namespace zorm::test {
namespace {

const std::string DATA = std::string(ZORM_TEST_DATA_DIR) + "/bench/data";

// FNV-1a, 64 bits, printed as 16 hex digits.
std::string digest(const std::string& bytes) {
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (unsigned char byte : bytes) {
    hash ^= byte;
    hash *= 0x100000001b3ULL;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

// The scratch folder's name (random, always of the same length) appears in
// the debug file and in messages; it is replaced by a fixed text of the same
// length, so that the length bytes in front of paths stay what they are.
std::string normalise(std::string text, const std::string& folder) {
  const std::string fixed(folder.size(), '#');
  for (size_t at = text.find(folder); at != std::string::npos; at = text.find(folder, at + fixed.size()))
    text.replace(at, folder.size(), fixed);
  return text;
}

// Copies one benchmark input (a file, or a folder with its include files)
// into a scratch folder.
void copy_input(const std::string& name, const TempDir& dir) {
  const std::filesystem::path from = DATA + "/" + name;
  if (std::filesystem::is_directory(from)) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(from)) {
      if (!entry.is_regular_file()) continue;
      dir.write(std::filesystem::relative(entry.path(), from).string(), read_file(entry.path().string()));
    }
  } else {
    dir.write(from.filename().string(), read_file(from.string()));
  }
}

struct Digests {
  std::string object, listing, debug, out, err;
};

std::string describe(const Digests& d) {
  return "{\"" + d.object + "\", \"" + d.listing + "\", \"" + d.debug + "\", \"" + d.out + "\", \"" + d.err + "\"}";
}

// One run of the assembler on a benchmark input, with these options; the
// object goes to out.obj (and the debug file, with -g, to out.dbg), the
// listing to the main file's name with .lst (not named with -l, which would
// turn the listing on). Include names resolve through -I on the scratch
// folder.
Digests run_input(const std::string& input, const std::string& main_file, const std::vector<std::string>& options) {
  TempDir dir;
  copy_input(input, dir);
  std::vector<std::string> args = options;
  args.push_back("-I" + dir.path());
  args.push_back("-o" + dir.file("out.obj"));
  args.push_back(dir.file(main_file));
  RunResult run = run_assembler(args);
  EXPECT_EQ(run.status, 0) << input << ": " << run.out.substr(0, 2000);
  Digests result;
  const std::string& folder = dir.path();
  result.object = digest(dir.exists("out.obj") ? dir.read("out.obj") : std::string("<none>"));
  const std::string listing = main_file.substr(0, main_file.rfind('.')) + ".lst";
  EXPECT_TRUE(dir.exists(listing)) << input;
  result.listing = digest(normalise(dir.read(listing), folder));
  result.debug = digest(dir.exists("out.dbg") ? normalise(dir.read("out.dbg"), folder) : std::string("<none>"));
  result.out = digest(normalise(run.out, folder));
  result.err = digest(normalise(run.err, folder));
  return result;
}

struct Case {
  const char* input;
  const char* main_file;
  std::vector<std::string> options;
  Digests expected;
};

// Every listing feature (pass 2 listing, symbol table, cycles, macro
// expansions, memory map) with the debug file; the same without them and
// with the branch optimisation on (the default); one hex-record format.
const std::vector<std::string> FULL = {"-x", "-n", "-l", "-t", "-c", "-m", "-u", "-g"};
const std::vector<std::string> PLAIN = {"-x"};

void check(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.input) + " with " + testing::PrintToString(c.options));
    const Digests got = run_input(c.input, c.main_file, c.options);
    EXPECT_EQ(got.object, c.expected.object) << "object file; all digests now: " << describe(got);
    EXPECT_EQ(got.listing, c.expected.listing) << "listing; all digests now: " << describe(got);
    EXPECT_EQ(got.debug, c.expected.debug) << "debug file; all digests now: " << describe(got);
    EXPECT_EQ(got.out, c.expected.out) << "standard output; all digests now: " << describe(got);
    EXPECT_EQ(got.err, c.expected.err) << "standard error; all digests now: " << describe(got);
  }
}

TEST(BenchDigest, Program) {
  check({
      {"program.asm", "program.asm", FULL, {"d21e1c9c621bb9ba", "46be5e0d3ab32dcc", "2edb499edb8e8c9b", "ba8d1ab7746a7b76", "63bd062f85f91f4d"}},
      {"program.asm", "program.asm", PLAIN, {"e757797caccce936", "20b36772920bc06c", "77621236764fd319", "ba8d1ab7746a7b76", "63bd062f85f91f4d"}},
      {"program.asm", "program.asm", {"-x", "-s2", "-q"}, {"95be8764449f0ce3", "3204ab3c35c629f7", "77621236764fd319", "cbf29ce484222325", "cbf29ce484222325"}},
  });
}

TEST(BenchDigest, Symbols) {
  check({
      {"symbols.asm", "symbols.asm", FULL, {"38084907026b324a", "6117ad97fdd55614", "26699580acbefcb3", "ba8d1ab7746a7b76", "63bd062f85f91f4d"}},
      {"symbols.asm", "symbols.asm", PLAIN, {"38084907026b324a", "a77024d5880a9aea", "77621236764fd319", "ba8d1ab7746a7b76", "63bd062f85f91f4d"}},
      {"symbols.asm", "symbols.asm", {"-x", "-s1", "-v"}, {"6f5ff96e4991f8ef", "18b9c4454a2aef9e", "77621236764fd319", "2c204c2d8ff2b05e", "a914fe0bc0706569"}},
  });
}

TEST(BenchDigest, Macros) {
  check({
      {"macros.asm", "macros.asm", FULL, {"0b88889647c8fa49", "378c2fa04a27074f", "1adf284e452fa581", "ba8d1ab7746a7b76", "b40a189bd8043799"}},
      {"macros.asm", "macros.asm", PLAIN, {"0b88889647c8fa49", "316bcb46f4dca8b7", "77621236764fd319", "ba8d1ab7746a7b76", "b40a189bd8043799"}},
  });
}

TEST(BenchDigest, Includes) {
  check({
      {"includes", "main.asm", FULL, {"c63e89f8c1a10360", "c40d189b0eb50309", "d36c166715ab7354", "ba8d1ab7746a7b76", "cbf29ce484222325"}},
      {"includes", "main.asm", {"-x", "-v"}, {"c63e89f8c1a10360", "608a860d7a61c3ac", "77621236764fd319", "af94f714858e64b3", "513f5fbde22abe45"}},
  });
}

TEST(BenchDigest, Comments) {
  check({
      {"comments.asm", "comments.asm", FULL, {"03adeebaba0d7664", "6bb44b1cb01e2246", "d66400754ca38bc6", "ba8d1ab7746a7b76", "38ac8b0847544635"}},
      {"comments.asm", "comments.asm", PLAIN, {"03adeebaba0d7664", "9c9a678bec2463ed", "77621236764fd319", "ba8d1ab7746a7b76", "38ac8b0847544635"}},
  });
}

}  // namespace
}  // namespace zorm::test
