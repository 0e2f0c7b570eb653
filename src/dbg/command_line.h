#pragma once
// The zorm-dbg command line.

#include <cstdio>
#include <string>
#include <vector>

#include "dbg/program.h"

namespace zorm::dbg {

// Exit statuses of zorm-dbg (EXIT_PROGRAM_FAILED, 3, is in debugger.h).
inline constexpr int EXIT_USAGE = 1;
inline constexpr int EXIT_LOAD = 2;

struct CommandLine {
  enum class Mode { debug, run, dap, help, version };
  Mode mode = Mode::debug;
  LaunchOptions launch;
  bool show_tstates = false;   // run: the instructions and T-states on standard error at the end
  bool raw_output = false;     // the program's output byte for byte
  std::string input_file;      // the program's console input; empty: standard input
  std::string log_file;        // --dap: where the adapter logs; empty: standard error
  std::string error;           // not empty: the command line is wrong, and this says why
};

CommandLine parse_command_line(const std::vector<std::string>& arguments);
void print_usage(FILE* out);

// Whether a program name is a source to assemble rather than an object file.
bool is_source_name(const std::string& name);

}  // namespace zorm::dbg
