#include "dbg/console.h"

namespace zorm::dbg {

std::string LineEndFilter::feed(uint8_t byte) {
  std::string text;
  if (held_return_) {
    held_return_ = false;
    if (byte == '\n') return "\n";
    text += '\r';
  }
  if (byte == '\r') {
    held_return_ = true;
  } else {
    text += static_cast<char>(byte);
  }
  return text;
}

std::string LineEndFilter::flush() {
  if (!held_return_) return "";
  held_return_ = false;
  return "\r";
}

void append_program_input(std::deque<uint8_t>& input, const char* text, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    if (text[i] == '\r') continue;
    input.push_back(text[i] == '\n' ? '\r' : static_cast<uint8_t>(text[i]));
  }
}

MemoryConsole::MemoryConsole(const std::string& input, bool echo) : echo_(echo) {
  append_program_input(input_, input.data(), input.size());
}

int MemoryConsole::read() {
  if (input_.empty()) return -1;
  const int byte = input_.front();
  input_.pop_front();
  return byte;
}

}  // namespace zorm::dbg
