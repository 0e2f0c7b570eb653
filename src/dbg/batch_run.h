#pragma once
// zorm-dbg run: the program runs to its end with its console on the
// standard streams.

#include "dbg/command_line.h"

namespace zorm::dbg {

// Returns the exit status: 0 when the program ended as programs of its
// machine end, EXIT_PROGRAM_FAILED when it stopped otherwise.
int run_batch(const CommandLine& line, Program program);

}  // namespace zorm::dbg
