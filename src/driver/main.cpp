// The zorm command line: the library does everything but the process's
// signals.
#include <csignal>
#include <cstdio>

#include "zorm/assembly.h"
#include "zorm/temporary_files.h"

namespace {

// A signal handler receives nothing but the signal number, so the temporary
// files of the run in progress have to be reachable from a variable of the
// program: this pointer is that one variable. main sets it before the run and
// clears it after; the handler only reads it, and the registry it points to
// is written so that a handler may read it at any moment.
zorm::TemporaryFiles* volatile run_temporary_files = nullptr;

// Removes the temporary output files, then dies of the signal as it would
// have without this handler.
extern "C" void remove_temporary_files_and_die(int signal_number) {
  zorm::TemporaryFiles* files = run_temporary_files;
  if (files != nullptr) files->remove_all();
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}

void catch_signal(int signal_number) {
  // A signal the process was started to ignore stays ignored.
  if (std::signal(signal_number, remove_temporary_files_and_die) == SIG_IGN) std::signal(signal_number, SIG_IGN);
}

// Signals that end the process leave no temporary output file behind (a pipe
// reader that goes away, too: the object may be written to a pipe). An output
// file that grows beyond the file size limit fails to be written, as on a
// full disk, instead of killing the process.
void handle_signals() {
  catch_signal(SIGINT);
  catch_signal(SIGTERM);
#ifdef SIGHUP
  catch_signal(SIGHUP);
#endif
#ifdef SIGPIPE
  catch_signal(SIGPIPE);
#endif
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);
#endif
}

}  // namespace

int main(int argc, char** argv) {
  zorm::TemporaryFiles temporary_files;
  run_temporary_files = &temporary_files;
  handle_signals();
  const int status = zorm::run_command_line(argc, argv, stdout, stderr, temporary_files);
  run_temporary_files = nullptr;
  return status;
}
