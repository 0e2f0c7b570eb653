#pragma once
// The program's console on the host: output to a C stream as text, input
// from a file descriptor (standard input, or a file given for it). The
// terminal debugger reads its commands from the same input, so the two share
// one buffer and take from it no more than each needs.

#include <cstdio>
#include <deque>
#include <optional>
#include <string>

#include "dbg/console.h"

namespace zorm::dbg {

class HostInput {
 public:
  explicit HostInput(int fd);
  bool is_terminal() const { return terminal_; }
  // Reads what is there into the buffer, waiting up to timeout_ms (-1: until
  // something comes). False when nothing came.
  bool fill(int timeout_ms);
  bool ended() const { return ended_; }
  std::deque<char>& buffer() { return buffer_; }
  // One line without its line end; none at the end of the input.
  std::optional<std::string> read_line();

 private:
  int fd_;
  bool terminal_;
  bool ended_ = false;
  std::deque<char> buffer_;
};

class HostConsole : public Console {
 public:
  // With translate, a carriage return and line feed that the program writes
  // becomes the host's line end.
  HostConsole(HostInput& input, FILE* output, bool translate);
  void write(uint8_t byte) override;
  void flush() override;
  bool input_ready() override;
  bool wait_for_input(const std::function<bool()>& stop) override;
  int read() override;
  // The host's terminal shows what is typed; input from elsewhere is echoed
  // as CP/M would.
  bool echoes_input() const override { return !input_.is_terminal(); }
  // Ends the program's last line of output if it has not ended it, so that
  // what the debugger writes next starts a line of its own.
  void end_line();

 private:
  HostInput& input_;
  FILE* output_;
  bool translate_;
  LineEndFilter filter_;
  bool mid_line_ = false;
};

}  // namespace zorm::dbg
