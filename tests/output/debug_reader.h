#pragma once

// A reader for the debug information file, written apart from the writer: it
// decodes the bytes into what they mean, so tests can check both.

#include <cstdint>
#include <string>
#include <vector>

namespace zorm::test {

struct DebugSymbol {
  std::string name;
  uint8_t attributes = 0;
  int64_t value = 0;  // 16-bit records give 0..65535, 32-bit records a signed value
};

struct DebugLine {
  int file = 0;
  unsigned line = 0;     // 16 bits
  unsigned address = 0;  // 16 bits
  bool full = false;     // came from a 5-byte record
  bool operator==(const DebugLine&) const = default;
};

struct DebugInfo {
  std::string error;  // empty when the file was read without a fault
  size_t header_length = 0;
  std::string identification;
  unsigned version = 0;  // 60 for "[0.60]"
  std::string notice;
  unsigned flags = 0;
  unsigned stored_checksum = 0;
  unsigned computed_checksum = 0;
  bool has_processor = false;
  uint32_t processor = 0;
  bool has_files = false;  // the file records are there, with their closing 0x00
  std::vector<std::string> files;
  bool has_symbols = false;  // likewise the symbol section
  std::vector<DebugSymbol> symbols;
  bool has_lines = false;  // likewise the line records
  std::vector<DebugLine> lines;
  size_t trailing = 0;  // bytes after the line section
};

// Decodes a whole file; a file that ends between sections (as after a failed
// pass 1) is not a fault, one that ends inside a record is.
inline DebugInfo read_debug_info(const std::string& bytes) {
  DebugInfo info;
  size_t at = 0;
  auto byte = [&](size_t i) { return static_cast<uint8_t>(bytes[i]); };
  auto have = [&](size_t n) { return at + n <= bytes.size(); };
  auto take = [&]() { return byte(at++); };
  auto number = [&](int size) {
    uint32_t v = 0;
    for (int i = 0; i < size; ++i) v = v << 8 | take();
    return v;
  };
  auto fail = [&](const char* why) {
    info.error = std::string(why) + " at offset " + std::to_string(at);
    return info;
  };

  // Header: "INFO", two length characters, six backspaces, the text lines,
  // 0x1A, 0x00, flags word, checksum.
  if (bytes.size() < 12 || bytes.compare(0, 4, "INFO") != 0) return fail("no INFO mark");
  const size_t h = static_cast<size_t>(byte(4) - 0x30) * 64 + static_cast<size_t>(byte(5) - 0x30);
  info.header_length = h;
  if (h < 21 || h > bytes.size()) return fail("bad header length");
  if (bytes.compare(6, 6, std::string(6, '\b')) != 0) return fail("no backspaces");
  if (byte(h - 6) != 0x1A || byte(h - 5) != 0x00) return fail("bad header end");
  const std::string text = bytes.substr(12, h - 6 - 12);
  const size_t first_end = text.find("\r\n");
  if (first_end == std::string::npos || text.size() < first_end + 4 || text.compare(text.size() - 2, 2, "\r\n") != 0)
    return fail("bad header text");
  const std::string first = text.substr(0, first_end);
  const size_t bracket = first.rfind(" [");
  if (bracket == std::string::npos || first.back() != ']') return fail("no version");
  info.identification = first.substr(0, bracket);
  const std::string version = first.substr(bracket + 2, first.size() - bracket - 3);
  const size_t dot = version.find('.');
  if (dot == std::string::npos || version.size() - dot != 3) return fail("bad version");
  info.version = static_cast<unsigned>(std::stoul(version.substr(0, dot)) * 100 + std::stoul(version.substr(dot + 1)));
  info.notice = text.substr(first_end + 2, text.size() - first_end - 4);
  info.flags = static_cast<unsigned>(byte(h - 4)) << 8 | byte(h - 3);
  info.stored_checksum = static_cast<unsigned>(byte(h - 2)) << 8 | byte(h - 1);
  for (size_t i = 0; i < h - 2; ++i) {
    info.computed_checksum = ((info.computed_checksum << 1 | info.computed_checksum >> 15) + byte(i)) & 0xFFFF;
  }
  at = h;

  if (!have(4)) return at == bytes.size() ? info : fail("short processor code");
  info.has_processor = true;
  info.processor = number(4);

  // A section is a run of records ended by a 0x00 byte.
  auto section = [&](auto&& record) -> int {  // 1 complete, 0 absent, -1 broken
    if (!have(1)) return 0;
    while (have(1)) {
      if (byte(at) == 0) {
        ++at;
        return 1;
      }
      if (!record()) return -1;
    }
    return -1;
  };

  int state = section([&] {
    const size_t n = take();
    if (!have(n)) return false;
    info.files.push_back(bytes.substr(at, n));
    at += n;
    return true;
  });
  if (state < 0) return fail("broken file record");
  info.has_files = state > 0;
  if (state == 0) return info;

  state = section([&] {
    const size_t n = take();
    if (!have(n + 1)) return false;
    DebugSymbol symbol;
    symbol.name = bytes.substr(at, n);
    at += n;
    symbol.attributes = take();
    const int size = (symbol.attributes & 0x80) != 0 ? 4 : 2;
    if (!have(static_cast<size_t>(size))) return false;
    const uint32_t v = number(size);
    symbol.value = size == 4 ? static_cast<int64_t>(static_cast<int32_t>(v)) : static_cast<int64_t>(v);
    info.symbols.push_back(symbol);
    return true;
  });
  if (state < 0) return fail("broken symbol record");
  info.has_symbols = state > 0;
  if (state == 0) return info;

  DebugLine last;
  bool any = false;
  state = section([&] {
    const uint8_t first_byte = take();
    if ((first_byte & 0x80) != 0) {
      if (!have(4)) return false;
      last.file = first_byte - 0x80;
      last.line = number(2);
      last.address = number(2);
      last.full = true;
    } else {
      if (!any || !have(1)) return false;  // a short record needs one before it
      last.line = (last.line + first_byte) & 0xFFFF;
      last.address = (last.address + take()) & 0xFFFF;
      last.full = false;
    }
    any = true;
    info.lines.push_back(last);
    return true;
  });
  if (state < 0) return fail("broken line record");
  info.has_lines = state > 0;
  info.trailing = bytes.size() - at;
  return info;
}

}  // namespace zorm::test
