#include "fuzz_harness.h"

#include <cstdlib>
#include <memory>
#include <vector>

#include "assembly/assembler.h"
#include "assembly/fatal_exit.h"
#include "zorm/source_provider.h"

namespace zorm::fuzz {

namespace {

// The folder the runs see. It exists nowhere: every file in it is served from
// memory, and nothing a run writes leaves memory, so a run costs no file
// system work and an exponentially recursive macro with a listing cannot
// fill a disk.
const std::string FOLDER = "/zorm-fuzz-scratch";

// Nothing is found below the files in memory.
class NoFiles : public SourceProvider {
 public:
  PathKind kind(const std::string&) override { return PathKind::missing; }
  std::unique_ptr<SourceFile> open(const std::string&) override { return nullptr; }
};

// The files an input may include, and the main source of the current run.
class ScratchFiles {
 public:
  ScratchFiles() : files_(&nothing_) {
    files_.set(path("inc.asm"), "inc_value equ 3\n\tdb inc_value\n");
    files_.set(path("nested.asm"), "\tinclude \"inc.asm\"\n\tnop\n");
    files_.set(path("data.bin"), std::string("\x01\x02\x03\x04", 4));
    files_.set(path("rec.hex"), ":0300000001020307\n:00000001FF\n");
    files_.set(path("rec.s19"), "S1060000010203F3\nS9030000FC\n");
  }
  static std::string path(const std::string& name) { return FOLDER + "/" + name; }
  SourceProvider& provider() { return files_; }
  void set_main(const std::string& source) { files_.set(path("main.asm"), source); }

 private:
  NoFiles nothing_;
  OverlayProvider files_;
};

ScratchFiles& scratch_files() {
  static ScratchFiles instance;
  return instance;
}

// Statements one pass may assemble: four for every line of the source, more
// than a source without macros needs (an included scratch file adds at most
// four, a long line cut into pieces a few), and 200 for macro expansions.
// An exponentially recursive macro stops there instead of after millions of
// statements: legitimate, but nothing new after the first few hundred, and
// most of the fuzzer's time.
uint64_t statement_limit(const std::string& source) {
  uint64_t lines = 1;
  for (const char c : source) lines += c == '\n' ? 1 : 0;
  return 200 + 4 * lines;
}

}  // namespace

int assemble(const std::string& source, uint8_t choice) {
  ScratchFiles& scratch = scratch_files();
  scratch.set_main(source);

  std::vector<std::string> args{"zorm", "-q"};
  const int level = choice & 7;
  if (level <= 5) args.push_back("-x" + std::to_string(level));
  if (choice & 0x08) args.push_back((choice & 0x40) ? "-s2" : "-s1");
  if (choice & 0x10) args.push_back("-g");
  if (choice & 0x20) {
    args.push_back("-t");
    args.push_back("-u");
  }
  if (choice & 0x40) {
    args.push_back("-l");
    args.push_back("-m");
  }
  if (choice & 0x80) {
    args.push_back("-c");
    args.push_back("-n");
  }
  args.push_back("-I" + FOLDER);
  const char* object = (choice & 0x08) ? ((choice & 0x40) ? "out.hex" : "out.s19") : "out.bin";
  args.push_back("-o" + ScratchFiles::path(object));
  args.push_back("-l" + ScratchFiles::path("out.lst"));
  args.push_back(ScratchFiles::path("main.asm"));

  TextStream out, err;
  Assembler assembler(out, err);
  assembler.statement_limit = statement_limit(source);
  assembler.source_provider = &scratch.provider();
  assembler.use_include_environment = false;
  // The outputs are made in full, and kept in memory until the run ends.
  assembler.write_files = false;
  assembler.keep_object = true;
  assembler.keep_listing = true;
  assembler.keep_debug_file = true;
  const int status = assembler.run(args);
  switch (status) {
    case EXIT_OK:
    case EXIT_USAGE:
    case EXIT_FILE:
    case EXIT_ASSEMBLY_ERRORS:
    case EXIT_NO_MEMORY:
    case EXIT_INTERNAL:
      return status;
    default:
      std::abort();
  }
}

}  // namespace zorm::fuzz
