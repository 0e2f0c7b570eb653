#include "fuzz_harness.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "assembly/assembler.h"
#include "assembly/fatal_exit.h"

namespace zorm::fuzz {

namespace {

// The scratch folder, made once per process. Every run writes its source,
// object, listing and debug file there, so it lives in memory (/dev/shm)
// where the system has such a folder: on a disk, creating and replacing
// those files was most of a run's time. Each run replaces the files of the
// one before, so the folder never holds more than one run's outputs.
class Workspace {
 public:
  Workspace() {
    for (const char* base : {"/dev/shm", "/tmp"}) {
      std::string pattern = std::string(base) + "/zorm-fuzz-XXXXXX";
      if (mkdtemp(pattern.data()) != nullptr) {
        dir_ = pattern;
        break;
      }
    }
    if (dir_.empty()) std::abort();
    write("inc.asm", "inc_value equ 3\n\tdb inc_value\n");
    write("nested.asm", "\tinclude \"inc.asm\"\n\tnop\n");
    write("data.bin", std::string("\x01\x02\x03\x04", 4));
    write("rec.hex", ":0300000001020307\n:00000001FF\n");
    write("rec.s19", "S1060000010203F3\nS9030000FC\n");
  }
  ~Workspace() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  std::string path(const std::string& name) const { return dir_ + "/" + name; }
  void write(const std::string& name, const std::string& content) const {
    FILE* f = std::fopen(path(name).c_str(), "wb");
    if (f == nullptr) std::abort();
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
  }
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_;
};

Workspace& workspace() {
  static Workspace instance;
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

std::string scratch_path(const std::string& name) { return workspace().path(name); }

int assemble(const std::string& source, uint8_t choice) {
  const Workspace& scratch = workspace();
  scratch.write("main.asm", source);

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
  args.push_back("-I" + scratch.dir());
  const char* object = (choice & 0x08) ? ((choice & 0x40) ? "out.hex" : "out.s19") : "out.bin";
  args.push_back("-o" + scratch.path(object));
  args.push_back("-l" + scratch.path("out.lst"));
  args.push_back(scratch.path("main.asm"));

  TextStream out, err;
  Assembler assembler(out, err);
  assembler.statement_limit = statement_limit(source);
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
