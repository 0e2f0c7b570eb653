// zorm-dbg: runs and debugs programs assembled by ZORM on an emulated Z80.

#include <cstdio>
#include <string>
#include <vector>

#include "dbg/batch_run.h"
#include "dbg/command_line.h"
#include "dbg/dap_server.h"
#include "dbg/debugger.h"
#include "dbg/object_file.h"
#include "dbg/terminal.h"
#include "zorm/language.h"

int main(int argc, char** argv) {
  using namespace zorm::dbg;
  const CommandLine line = parse_command_line(std::vector<std::string>(argv + 1, argv + argc));
  if (!line.error.empty()) {
    std::fprintf(stderr, "zorm-dbg: %s\n", line.error.c_str());
    std::fprintf(stderr, "Try \"zorm-dbg --help\".\n");
    return EXIT_USAGE;
  }
  if (line.mode == CommandLine::Mode::help) {
    print_usage(stdout);
    return 0;
  }
  if (line.mode == CommandLine::Mode::version) {
    std::printf("zorm-dbg %s\n", zorm::version());
    return 0;
  }
  if (line.mode == CommandLine::Mode::dap) return run_dap(line.log_file);
  try {
    Program program = prepare_program(line.launch);
    if (line.mode == CommandLine::Mode::run) return run_batch(line, std::move(program));
    return run_terminal(line, std::move(program));
  } catch (const LoadError& error) {
    std::fprintf(stderr, "zorm-dbg: %s\n", error.what());
    return EXIT_LOAD;
  }
}
