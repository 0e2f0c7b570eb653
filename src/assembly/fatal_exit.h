#pragma once

namespace zorm {

// Thrown where the run cannot go on (a missing file, "No memory", an internal
// error). It travels up to the top of the run, which turns it into the
// process's exit status; nothing below main ever calls exit().
struct FatalExit {
  int status;
};

// The exit statuses of the assembler.
enum ExitStatus : int {
  EXIT_OK = 0,
  EXIT_USAGE = 1,
  EXIT_FILE = 2,
  EXIT_ASSEMBLY_ERRORS = 3,
  EXIT_NO_MEMORY = 4,
  EXIT_INTERNAL = 127,
};

}  // namespace zorm
