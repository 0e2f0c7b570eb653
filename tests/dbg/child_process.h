#pragma once
// A program run as the tests' child, its standard streams on pipes: for the
// scripted sessions that drive the built zorm-dbg as its users do.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

namespace zorm::test {

class ChildProcess {
 public:
  ChildProcess(const std::vector<std::string>& argv, const std::string& folder) {
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe failed");
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
      dup2(in[0], STDIN_FILENO);
      dup2(out[1], STDOUT_FILENO);
      dup2(err[1], STDERR_FILENO);
      for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
      if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(126);
      std::vector<char*> args;
      for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
      args.push_back(nullptr);
      execv(args[0], args.data());
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    input_ = in[1];
    output_ = out[0];
    error_ = err[0];
    signal(SIGPIPE, SIG_IGN);
  }
  ~ChildProcess() {
    close_input();
    if (output_ >= 0) close(output_);
    if (error_ >= 0) close(error_);
    if (pid_ > 0 && !waited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  void write(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t count = ::write(input_, bytes.data() + done, bytes.size() - done);
      if (count <= 0) throw std::runtime_error("the child does not read its input");
      done += static_cast<size_t>(count);
    }
  }
  void close_input() {
    if (input_ >= 0) close(input_);
    input_ = -1;
  }
  // What the child wrote to its standard output, waiting up to timeout for
  // something; empty at the end or when nothing came in time.
  std::string read_output(std::chrono::milliseconds timeout) { return read_from(output_, timeout); }
  // Reads both outputs to their ends and waits for the exit status.
  int finish(std::string& out, std::string& err) {
    close_input();
    drain(out, err);
    int status = 0;
    waitpid(pid_, &status, 0);
    waited_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

 private:
  static std::string read_from(int fd, std::chrono::milliseconds timeout) {
    pollfd wanted{fd, POLLIN, 0};
    if (poll(&wanted, 1, static_cast<int>(timeout.count())) <= 0) return "";
    char buffer[4096];
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    return count > 0 ? std::string(buffer, static_cast<size_t>(count)) : "";
  }
  void drain(std::string& out, std::string& err) {
    bool out_open = true, err_open = true;
    while (out_open || err_open) {
      pollfd fds[2] = {{out_open ? output_ : -1, POLLIN, 0}, {err_open ? error_ : -1, POLLIN, 0}};
      if (poll(fds, 2, 10000) <= 0) break;
      char buffer[4096];
      for (int i = 0; i < 2; ++i) {
        if (fds[i].revents == 0) continue;
        const ssize_t count = ::read(fds[i].fd, buffer, sizeof buffer);
        if (count <= 0) {
          (i == 0 ? out_open : err_open) = false;
        } else {
          (i == 0 ? out : err).append(buffer, static_cast<size_t>(count));
        }
      }
    }
  }

  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
  int error_ = -1;
  bool waited_ = false;
};

// Runs a program to its end with this input; its exit status.
inline int run_child(const std::vector<std::string>& argv, const std::string& folder, const std::string& input,
                     std::string& out, std::string& err) {
  ChildProcess child(argv, folder);
  child.write(input);
  return child.finish(out, err);
}

}  // namespace zorm::test
