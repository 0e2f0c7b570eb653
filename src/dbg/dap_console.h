#pragma once
// The program's console in a Debug Adapter Protocol session: its output goes
// out as output events (whole lines where it can), its input is what the
// user types into the debug console.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "dbg/console.h"

namespace zorm::dbg {

class DapConsole : public Console {
 public:
  // output: sends one piece of the program's text (as an output event);
  // waiting: told once each time the program starts to wait for input.
  DapConsole(std::function<void(const std::string&)> output, std::function<void()> waiting);

  void write(uint8_t byte) override;
  void flush() override;
  bool input_ready() override;
  bool wait_for_input(const std::function<bool()>& stop) override;
  int read() override;
  // As on a CP/M terminal: what the program reads shows in its output.
  bool echoes_input() const override { return true; }

  // What the user typed, from any thread: the text and a Return.
  void type(const std::string& line);

 private:
  static constexpr size_t HELD_OUTPUT = 4096;  // sent when this much waits without a line end

  std::function<void(const std::string&)> output_;
  std::function<void()> waiting_;
  LineEndFilter filter_;
  std::string held_;

  std::mutex input_mutex_;
  std::condition_variable input_changed_;
  std::deque<uint8_t> input_;
};

}  // namespace zorm::dbg
