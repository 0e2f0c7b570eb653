#include "output/debug_file.h"

#include <cstring>
#include <optional>

#include "assembly/fatal_exit.h"

namespace zorm {

std::string debug_file_header(const char* identification, unsigned version, unsigned flags, const char* notice) {
  if (version > DEBUG_MAX_VERSION) return {};
  auto format_text = [&](char* buffer, size_t size) {
    return std::snprintf(buffer, size, "INFOxx\b\b\b\b\b\b%s [%u.%02u]\r\n%s\r\n\x1a", identification, version / 100,
                         version % 100, notice);
  };
  const int length = format_text(nullptr, 0);
  if (length < 0) return {};
  std::string header(static_cast<size_t>(length) + 1, '\0');
  format_text(header.data(), header.size());
  header.pop_back();  // snprintf's terminator

  // The header's total length, text plus 0x00, flags word and checksum.
  const size_t total = header.size() + 5;
  header[4] = static_cast<char>(0x30 + total / 64);
  header[5] = static_cast<char>(0x30 + total % 64);
  const unsigned stored_flags = flags | 0x0001;
  header.push_back('\0');
  header.push_back(static_cast<char>((stored_flags >> 8) & 0xFF));
  header.push_back(static_cast<char>(stored_flags & 0xFF));
  const uint16_t checksum = debug_header_checksum(header.data(), header.size());
  header.push_back(static_cast<char>(checksum >> 8));
  header.push_back(static_cast<char>(checksum & 0xFF));
  return header;
}

uint16_t debug_header_checksum(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  uint16_t sum = 0;
  for (size_t i = 0; i < size; ++i) {
    sum = static_cast<uint16_t>((sum << 1) | (sum >> 15));
    sum = static_cast<uint16_t>(sum + bytes[i]);
  }
  return sum;
}

bool DebugFile::create_debug_file(const std::string& path) {
  return create_debug_file(path, DEBUG_IDENTIFICATION_TEXT, DEBUG_FORMAT_VERSION, DEBUG_FLAGS, DEBUG_NOTICE_TEXT);
}

bool DebugFile::create_debug_file(const std::string& path, const char* identification, unsigned version,
                                  unsigned flags, const char* notice) {
  output_.discard();
  open_ = false;
  if (version > DEBUG_MAX_VERSION) return false;
  if (!output_.open(temporary_files_, path, false)) return false;
  const std::string header = debug_file_header(identification, version, flags, notice);
  // Flushed at once, so a device that takes no data is found here.
  if (header.empty() || std::fwrite(header.data(), 1, header.size(), file()) != header.size() ||
      std::fflush(file()) != 0) {
    output_.discard();
    return false;
  }
  path_ = path;
  open_ = true;
  if (keep_) bytes_ = header;
  return true;
}

void DebugFile::create_in_memory() {
  output_.discard();
  bytes_ = debug_file_header(DEBUG_IDENTIFICATION_TEXT, DEBUG_FORMAT_VERSION, DEBUG_FLAGS, DEBUG_NOTICE_TEXT);
  keep_ = true;
  open_ = true;
}

void DebugFile::write_processor_record(uint32_t code) { write_number32(static_cast<int32_t>(code)); }

void DebugFile::write_file_record(const std::string& path) {
  if (path.empty()) return;  // a zero length would read as the end of the section
  const size_t length = path.size() < DEBUG_MAX_NAME_LENGTH ? path.size() : DEBUG_MAX_NAME_LENGTH;
  write_byte(static_cast<uint8_t>(length));
  write_bytes(path.data(), length);
}

void DebugFile::write_symbol_record(const std::string& name, uint8_t& attributes, int32_t value) {
  if (name.empty()) return;
  if ((static_cast<uint32_t>(value) & 0xFFFF0000u) != 0) attributes |= 0x80;
  const size_t length = name.size() < DEBUG_MAX_NAME_LENGTH ? name.size() : DEBUG_MAX_NAME_LENGTH;
  write_byte(static_cast<uint8_t>(length));
  write_bytes(name.data(), length);
  write_byte(attributes);
  if ((attributes & 0x80) != 0) {
    write_number32(value);
  } else {
    write_number16(value);
  }
}

void DebugFile::write_byte(uint8_t byte) {
  if (output_.is_open()) std::fputc(byte, file());
  if (keep_) bytes_.push_back(static_cast<char>(byte));
}

void DebugFile::write_bytes(const void* data, size_t size) {
  if (output_.is_open() && size != 0) std::fwrite(data, 1, size, file());
  if (keep_) bytes_.append(static_cast<const char*>(data), size);
}

void DebugFile::write_number16(int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  const uint8_t bytes[2] = {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
  write_bytes(bytes, sizeof bytes);
}

void DebugFile::write_number32(int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  const uint8_t bytes[4] = {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
                            static_cast<uint8_t>(v)};
  write_bytes(bytes, sizeof bytes);
}

void DebugFile::finish_debug_file() {
  if (!open_) return;
  struct Last {
    int32_t file_index;
    int32_t line;
    uint32_t address;
  };
  std::optional<Last> last;
  for (const LineMapEntry& entry : line_map.entries()) {
    // 0x80 + index must stay a single byte.
    if (entry.file_index < 0 || entry.file_index > DEBUG_MAX_FILE_INDEX) continue;
    const bool same_file = last && last->file_index == entry.file_index;
    if (same_file && entry.line == last->line) continue;  // measured from the line's first address
    const int64_t line_step = same_file ? int64_t{entry.line} - last->line : 0;
    const int64_t address_step = same_file ? int64_t{entry.address} - last->address : 0;
    if (same_file && line_step >= 1 && line_step <= 127 && address_step >= 0 && address_step <= 255) {
      write_byte(static_cast<uint8_t>(line_step));
      write_byte(static_cast<uint8_t>(address_step));
    } else {
      write_byte(static_cast<uint8_t>(0x80 + entry.file_index));
      write_number16(entry.line);
      write_number16(static_cast<int32_t>(entry.address));
    }
    last = Last{entry.file_index, entry.line, entry.address};
  }
  write_byte(0x00);
  check_written();
}

void DebugFile::check_written() {
  if (!output_.is_open()) return;
  if (std::fflush(file()) == 0 && std::ferror(file()) == 0) return;
  output_.discard();
  open_ = false;
  out_.printf("Can't create output file %s.\n", path_.c_str());
  throw FatalExit{EXIT_FILE};
}

bool DebugFile::close() {
  const bool complete = !output_.is_open() || output_.commit();
  open_ = false;
  return complete;
}

}  // namespace zorm
