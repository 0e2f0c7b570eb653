#pragma once
// Programs for the debugger's tests: a source assembled by ZORM (in-process)
// with its debug information file, read back as the debugger reads it.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "dbg/program.h"
#include "support/temp_dir.h"
#include "support/zorm_run.h"

namespace zorm::test {

struct AssembledProgram {
  TempDir dir;
  dbg::Program program;

  uint16_t symbol(const std::string& name) const {
    const dbg::DebugSymbol* found = program.symbols.find(name);
    if (found == nullptr) throw std::runtime_error("no symbol " + name);
    return static_cast<uint16_t>(found->value);
  }
};

// Assembles the source text (written as "t.asm") or, with a name ending in
// ".asm", that file, to Intel hex with -g and loads it. Throws when zorm fails.
inline std::unique_ptr<AssembledProgram> assemble_program(const std::string& source,
                                                          const std::vector<std::string>& options = {},
                                                          dbg::LaunchOptions launch = {}) {
  auto result = std::make_unique<AssembledProgram>();
  const bool file = source.size() > 4 && source.compare(source.size() - 4, 4, ".asm") == 0 &&
                    source.find('\n') == std::string::npos;
  const std::string path = file ? source : result->dir.write("t.asm", source);
  std::vector<std::string> args = options;
  for (const char* option : {"-q", "-g", "-s2"}) args.emplace_back(option);
  args.push_back("-o" + result->dir.file("t.hex"));
  args.push_back("-l" + result->dir.file("t.lst"));
  args.push_back(path);
  const ZormRun run = run_zorm(args);
  if (run.status != 0) throw std::runtime_error("zorm failed:\n" + run.out);
  launch.program = result->dir.file("t.hex");
  result->program = dbg::load_program(launch);
  return result;
}

}  // namespace zorm::test
