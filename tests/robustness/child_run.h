#pragma once

// Runs the assembler in process, but inside a forked child, so that a test can
// take rights away from the run (a file size limit that makes writes fail
// midway, as on a full disk; an unprivileged user for whom permissions hold)
// without touching the test program itself.

#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/assemble.h"

namespace zorm::test {

struct ChildLimits {
  // Largest size in bytes a file may grow to; writes beyond fail with EFBIG.
  long file_size_limit = -1;
  // Run as the unprivileged user nobody (only possible when the tests run as
  // root; otherwise the run already has no special rights).
  bool unprivileged = false;
};

struct ChildResult {
  int status = -1;  // the assembler's exit status; 128 + signal when it died
  std::string out;  // its standard output
};

inline constexpr uid_t NOBODY = 65534;

inline ChildResult run_in_child(const std::vector<std::string>& args, const ChildLimits& limits) {
  int channel[2];
  if (::pipe(channel) != 0) return {};
  const pid_t pid = ::fork();
  if (pid < 0) return {};
  if (pid == 0) {
    ::close(channel[0]);
    int refused = 0;
    if (limits.file_size_limit >= 0) {
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{static_cast<rlim_t>(limits.file_size_limit), static_cast<rlim_t>(limits.file_size_limit)};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) refused = 1;
    }
    if (limits.unprivileged && ::geteuid() == 0) {
      if (::setgroups(0, nullptr) != 0 || ::setgid(NOBODY) != 0 || ::setuid(NOBODY) != 0) refused = 1;
    }
    if (refused != 0) ::_exit(200);
    RunResult run = run_assembler(args);
    size_t written = 0;
    while (written < run.out.size()) {
      const ssize_t n = ::write(channel[1], run.out.data() + written, run.out.size() - written);
      if (n <= 0) break;
      written += static_cast<size_t>(n);
    }
    ::_exit(run.status);
  }
  ::close(channel[1]);
  ChildResult result;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(channel[0], buffer, sizeof buffer);
    if (n <= 0) break;
    result.out.append(buffer, static_cast<size_t>(n));
  }
  ::close(channel[0]);
  int wait_status = 0;
  ::waitpid(pid, &wait_status, 0);
  if (WIFEXITED(wait_status)) result.status = WEXITSTATUS(wait_status);
  if (WIFSIGNALED(wait_status)) result.status = 128 + WTERMSIG(wait_status);
  return result;
}

}  // namespace zorm::test
