#include "dbg/dap_console.h"

#include <chrono>

namespace zorm::dbg {

namespace {

constexpr std::chrono::milliseconds INPUT_POLL{50};  // how often a wait for input asks whether to stop

}  // namespace

DapConsole::DapConsole(std::function<void(const std::string&)> output, std::function<void()> waiting)
    : output_(std::move(output)), waiting_(std::move(waiting)) {}

void DapConsole::write(uint8_t byte) {
  held_ += filter_.feed(byte);
  if ((!held_.empty() && held_.back() == '\n') || held_.size() >= HELD_OUTPUT) {
    output_(held_);
    held_.clear();
  }
}

void DapConsole::flush() {
  held_ += filter_.flush();
  if (held_.empty()) return;
  output_(held_);
  held_.clear();
}

bool DapConsole::input_ready() {
  std::lock_guard lock(input_mutex_);
  return !input_.empty();
}

bool DapConsole::wait_for_input(const std::function<bool()>& stop) {
  if (input_ready()) return true;
  flush();
  waiting_();
  for (;;) {
    {
      std::unique_lock lock(input_mutex_);
      if (input_changed_.wait_for(lock, INPUT_POLL, [this] { return !input_.empty(); })) return true;
    }
    if (stop()) return false;
  }
}

int DapConsole::read() {
  std::lock_guard lock(input_mutex_);
  if (input_.empty()) return -1;
  const int byte = input_.front();
  input_.pop_front();
  return byte;
}

void DapConsole::type(const std::string& line) {
  {
    std::lock_guard lock(input_mutex_);
    const std::string text = line + "\n";
    append_program_input(input_, text.data(), text.size());
  }
  input_changed_.notify_all();
}

}  // namespace zorm::dbg
