#include "dbg/debug_info.h"

#include "dbg/object_file.h"

namespace zorm::dbg {

namespace {

// Reads the file front to back; every read past the end is an error that
// names the section being read.
class ByteReader {
 public:
  ByteReader(const std::string& name, const std::string& bytes) : name_(name), bytes_(bytes) {}

  bool at_end() const { return position_ >= bytes_.size(); }
  size_t position() const { return position_; }
  void seek(size_t position) { position_ = position; }

  uint8_t byte(const char* what) {
    if (at_end()) fail(std::string("the file ends inside ") + what);
    return static_cast<uint8_t>(bytes_[position_++]);
  }
  uint32_t number(size_t count, const char* what) {
    uint32_t value = 0;
    for (size_t i = 0; i < count; ++i) value = value << 8 | byte(what);
    return value;
  }
  std::string text(size_t count, const char* what) {
    if (bytes_.size() - position_ < count) fail(std::string("the file ends inside ") + what);
    std::string result = bytes_.substr(position_, count);
    position_ += count;
    return result;
  }
  [[noreturn]] void fail(const std::string& why) const { throw LoadError(name_ + ": " + why); }

 private:
  const std::string& name_;
  const std::string& bytes_;
  size_t position_ = 0;
};

uint16_t header_checksum(const std::string& bytes, size_t count) {
  uint16_t sum = 0;
  for (size_t i = 0; i < count; ++i) {
    sum = static_cast<uint16_t>(((sum << 1) | (sum >> 15)) + static_cast<uint8_t>(bytes[i]));
  }
  return sum;
}

void read_header(ByteReader& in, const std::string& bytes) {
  if (bytes.compare(0, 4, "INFO") != 0 || bytes.size() < 6) in.fail("not a debug information file");
  const size_t length = static_cast<size_t>(static_cast<uint8_t>(bytes[4]) - 0x30) * 64 +
                        static_cast<size_t>(static_cast<uint8_t>(bytes[5]) - 0x30);
  if (length < 8 || length > bytes.size()) in.fail("not a debug information file (bad header length)");
  const uint16_t stored = static_cast<uint16_t>(static_cast<uint8_t>(bytes[length - 2]) << 8 |
                                                static_cast<uint8_t>(bytes[length - 1]));
  if (header_checksum(bytes, length - 2) != stored) in.fail("the header's checksum does not match");
  in.seek(length);
}

}  // namespace

Processor DebugInfo::processor() const {
  switch (processor_code) {
    case 0x6901F900: return Processor::i8080;
    case 0x6901F901: return Processor::i8085;
    case 0x5A000501: return Processor::z80_index_halves;
    case 0x5A000502: return Processor::z180;
    case 0x5A000503: return Processor::z280;
    default: return Processor::z80;
  }
}

DebugInfo read_debug_info(const std::string& name, const std::string& bytes) {
  ByteReader in(name, bytes);
  read_header(in, bytes);
  DebugInfo info;
  info.processor_code = in.number(4, "the processor code");

  while (uint8_t length = in.byte("the file records")) info.files.push_back(in.text(length, "a file record"));

  while (uint8_t length = in.byte("the symbol records")) {
    DebugSymbol symbol;
    symbol.name = in.text(length, "a symbol record");
    symbol.attributes = in.byte("a symbol record");
    const bool wide = (symbol.attributes & 0x80) != 0;
    const uint32_t value = in.number(wide ? 4 : 2, "a symbol record");
    symbol.value = static_cast<int32_t>(value);
    info.symbols.push_back(std::move(symbol));
  }

  // A file that ends after the symbols comes from a run whose first pass
  // failed: it is complete, without line information.
  if (in.at_end()) return info;
  info.has_line_section = true;
  bool have_previous = false;
  DebugLine previous;
  while (uint8_t first = in.byte("the line records")) {
    DebugLine line;
    if (first & 0x80) {
      line.file = first & 0x7F;
      line.line = static_cast<int>(in.number(2, "a line record"));
      line.address = static_cast<uint16_t>(in.number(2, "a line record"));
    } else {
      if (!have_previous) in.fail("a short line record comes first");
      line.file = previous.file;
      line.line = (previous.line + first) & 0xFFFF;
      line.address = static_cast<uint16_t>(previous.address + in.byte("a line record"));
    }
    if (static_cast<size_t>(line.file) >= info.files.size()) {
      in.fail("a line record names file " + std::to_string(line.file) + ", which the file has no record of");
    }
    info.lines.push_back(line);
    previous = line;
    have_previous = true;
  }
  return info;
}

std::string debug_file_name_for(const std::string& object_path) {
  const size_t slash = object_path.find_last_of('/');
  const size_t dot = object_path.find_last_of('.');
  const bool has_extension = dot != std::string::npos && dot > 0 && (slash == std::string::npos || dot > slash);
  return (has_extension ? object_path.substr(0, dot) : object_path) + ".dbg";
}

}  // namespace zorm::dbg
