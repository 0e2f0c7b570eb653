// libFuzzer target: the whole assembler, in-process, on the input bytes as
// the main source. The first byte chooses the options; include files come
// from a small fixed set written once into a scratch folder.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "assembly/assembler.h"

namespace {

class Workspace {
 public:
  Workspace() {
    char pattern[] = "/tmp/zorm-fuzz-XXXXXX";
    const char* made = mkdtemp(pattern);
    dir_ = made != nullptr ? made : "/tmp";
    write("inc.asm", "inc_value equ 3\n\tdb inc_value\n");
    write("nested.asm", "\tinclude \"inc.asm\"\n\tnop\n");
    write("data.bin", std::string("\x01\x02\x03\x04", 4));
    write("rec.hex", ":0300000001020307\n:00000001FF\n");
    write("rec.s19", "S1060000010203F3\nS9030000FC\n");
  }
  ~Workspace() {
    for (const char* name : {"inc.asm", "nested.asm", "data.bin", "rec.hex", "rec.s19", "main.asm", "out.bin", "out.s19",
                             "out.hex", "out.lst", "out.dbg"}) {
      std::remove(path(name).c_str());
    }
    rmdir(dir_.c_str());
  }
  std::string path(const std::string& name) const { return dir_ + "/" + name; }
  void write(const std::string& name, const std::string& content) const {
    FILE* f = std::fopen(path(name).c_str(), "wb");
    if (f == nullptr) return;
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
  }
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Workspace workspace;
  if (size == 0) return 0;
  const uint8_t choice = data[0];
  workspace.write("main.asm", std::string(reinterpret_cast<const char*>(data + 1), size - 1));

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
  args.push_back("-I" + workspace.dir());
  const char* extension = (choice & 0x08) ? ((choice & 0x40) ? "out.hex" : "out.s19") : "out.bin";
  args.push_back("-o" + workspace.path(extension));
  args.push_back("-l" + workspace.path("out.lst"));
  args.push_back(workspace.path("main.asm"));

  zorm::TextStream out, err;
  zorm::Assembler assembler(out, err);
  // A macro that calls itself twice per expansion runs 2^19 expansions
  // before the nesting limit stops it: legitimate, but minutes long.
  assembler.statement_limit = 200000;
  const int status = assembler.run(args);
  if (status != 0 && status != 1 && status != 2 && status != 3 && status != 4 && status != 127) std::abort();
  return 0;
}
