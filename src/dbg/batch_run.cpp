#include "dbg/batch_run.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "dbg/debugger.h"
#include "dbg/host_console.h"

namespace zorm::dbg {

int run_batch(const CommandLine& line, Program program) {
  const int input_fd = line.input_file.empty() ? STDIN_FILENO : open(line.input_file.c_str(), O_RDONLY);
  if (input_fd < 0) {
    std::fprintf(stderr, "zorm-dbg: cannot open %s\n", line.input_file.c_str());
    return EXIT_LOAD;
  }
  HostInput input(input_fd);
  HostConsole console(input, stdout, !line.raw_output);
  Debugger debugger(std::move(program), console, line.launch);
  debugger.start();
  Report report = debugger.resume(Resume::go);
  // Nothing stops a batch run but its end: a stop for any other reason
  // (there are no breakpoints) is not expected, and ends it as a failure.
  int status = EXIT_PROGRAM_FAILED;
  if (report.kind == Report::Kind::exited) {
    status = report.exit_status;
  } else {
    std::fflush(stdout);
    std::fprintf(stderr, "zorm-dbg: %s\n", report.message.empty() ? "the program stopped" : report.message.c_str());
  }
  if (line.show_tstates) {
    std::fflush(stdout);
    std::fprintf(stderr, "zorm-dbg: %llu instructions, %llu T-states\n",
                 static_cast<unsigned long long>(debugger.machine().instructions()),
                 static_cast<unsigned long long>(debugger.machine().tstates()));
  }
  if (input_fd != STDIN_FILENO) close(input_fd);
  return status;
}

}  // namespace zorm::dbg
