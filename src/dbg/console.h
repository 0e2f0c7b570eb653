#pragma once
// The program's console: where its output goes and where its input comes
// from. The machines read and write bytes as the program sees them (a line
// ends with a carriage return); the console's owner turns them into text.

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

namespace zorm::dbg {

class Console {
 public:
  virtual ~Console() = default;
  virtual void write(uint8_t byte) = 0;
  // Hands on what was written and is still held back.
  virtual void flush() {}
  // A read() would not wait: a byte is there, or the input has ended.
  virtual bool input_ready() = 0;
  // Waits until input_ready(); asks stop() now and then whether to give up
  // the wait, and then returns false.
  virtual bool wait_for_input(const std::function<bool()>& stop) = 0;
  // The next byte, or -1 at the end of the input. Call when input_ready().
  virtual int read() = 0;
  // Whether the machine echoes what the program reads, as CP/M's console
  // input does; false where the host's terminal already shows the typing.
  virtual bool echoes_input() const { return false; }
};

// Program text to host text: a carriage return and line feed become a line
// feed; any other byte passes unchanged.
class LineEndFilter {
 public:
  // The text to pass on for this byte (a carriage return is held back until
  // the next byte shows what it is).
  std::string feed(uint8_t byte);
  // What is held back.
  std::string flush();

 private:
  bool held_return_ = false;
};

// Host text to program input: a line feed becomes a carriage return (the
// Return key of the program's terminal), and carriage returns are dropped.
void append_program_input(std::deque<uint8_t>& input, const char* text, size_t size);

// A console in memory: output collected, input given in advance. For tests,
// and for batch runs that feed a file.
class MemoryConsole : public Console {
 public:
  explicit MemoryConsole(const std::string& input = "", bool echo = false);
  void write(uint8_t byte) override { output += static_cast<char>(byte); }
  bool input_ready() override { return true; }
  bool wait_for_input(const std::function<bool()>&) override { return true; }
  int read() override;
  bool echoes_input() const override { return echo_; }

  std::string output;  // every byte the program wrote, unchanged

 private:
  std::deque<uint8_t> input_;
  bool echo_;
};

}  // namespace zorm::dbg
