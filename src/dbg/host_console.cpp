#include "dbg/host_console.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace zorm::dbg {

namespace {

constexpr int INPUT_POLL_MS = 50;  // how often a wait for input looks at its interrupt

}  // namespace

HostInput::HostInput(int fd) : fd_(fd), terminal_(isatty(fd) != 0) {}

bool HostInput::fill(int timeout_ms) {
  if (ended_) return false;
  pollfd wanted{fd_, POLLIN, 0};
  const int ready = poll(&wanted, 1, timeout_ms);
  if (ready <= 0) return false;  // timeout, or interrupted by a signal
  char chunk[4096];
  // A terminal gives a line at a time; a pipe or a file may give much more
  // than one command, which stays in the buffer for later.
  const ssize_t count = ::read(fd_, chunk, sizeof chunk);
  if (count < 0) {
    if (errno == EINTR || errno == EAGAIN) return false;
    ended_ = true;
    return false;
  }
  if (count == 0) {
    ended_ = true;
    return false;
  }
  buffer_.insert(buffer_.end(), chunk, chunk + count);
  return true;
}

std::optional<std::string> HostInput::read_line() {
  for (;;) {
    for (size_t i = 0; i < buffer_.size(); ++i) {
      if (buffer_[i] != '\n') continue;
      std::string line(buffer_.begin(), buffer_.begin() + static_cast<long>(i));
      buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(i) + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    if (ended_) {
      if (buffer_.empty()) return std::nullopt;
      std::string line(buffer_.begin(), buffer_.end());
      buffer_.clear();
      return line;
    }
    fill(-1);
  }
}

HostConsole::HostConsole(HostInput& input, FILE* output, bool translate)
    : input_(input), output_(output), translate_(translate) {}

void HostConsole::write(uint8_t byte) {
  mid_line_ = byte != '\n';
  if (!translate_) {
    std::fputc(byte, output_);
    return;
  }
  const std::string text = filter_.feed(byte);
  std::fwrite(text.data(), 1, text.size(), output_);
}

void HostConsole::end_line() {
  flush();
  if (!mid_line_) return;
  std::fputc('\n', output_);
  mid_line_ = false;
}

void HostConsole::flush() {
  if (translate_) {
    const std::string text = filter_.flush();
    std::fwrite(text.data(), 1, text.size(), output_);
  }
  std::fflush(output_);
}

// Carriage returns from the host are dropped and line feeds read as the
// program's Return key; see append_program_input.
bool HostConsole::input_ready() {
  std::deque<char>& buffer = input_.buffer();
  for (;;) {
    while (!buffer.empty() && buffer.front() == '\r') buffer.pop_front();
    if (!buffer.empty() || input_.ended()) return true;
    if (!input_.fill(0)) return input_.ended();
  }
}

bool HostConsole::wait_for_input(const std::function<bool()>& stop) {
  while (!input_ready()) {
    if (stop()) return false;
    input_.fill(INPUT_POLL_MS);
  }
  return true;
}

int HostConsole::read() {
  if (!input_ready()) return -1;
  std::deque<char>& buffer = input_.buffer();
  if (buffer.empty()) return -1;
  const char byte = buffer.front();
  buffer.pop_front();
  return byte == '\n' ? '\r' : static_cast<uint8_t>(byte);
}

}  // namespace zorm::dbg
