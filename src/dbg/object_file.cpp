#include "dbg/object_file.h"

#include <cctype>
#include <cstdio>
#include <string_view>
#include <fstream>
#include <sstream>
#include <vector>

namespace zorm::dbg {

namespace {

int hex_value(char c) {
  static constexpr std::string_view DIGITS = "0123456789abcdef";
  const size_t value = DIGITS.find(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  return value == std::string_view::npos ? -1 : static_cast<int>(value);
}

bool ends_with(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

[[noreturn]] void record_error(const std::string& file, int line, const std::string& why) {
  throw LoadError(file + ":" + std::to_string(line) + ": " + why);
}

// One record line decoded into bytes: every pair of hexadecimal digits after
// the leading characters.
class RecordLine {
 public:
  RecordLine(const std::string& file, int number, const std::string& text, size_t first_digit)
      : file_(file), number_(number) {
    if ((text.size() - first_digit) % 2 != 0) fail("odd number of hexadecimal digits");
    for (size_t i = first_digit; i < text.size(); i += 2) {
      const int high = hex_value(text[i]);
      const int low = hex_value(text[i + 1]);
      if (high < 0 || low < 0) fail("not a hexadecimal digit");
      bytes_.push_back(static_cast<uint8_t>(high * 16 + low));
    }
  }

  size_t size() const { return bytes_.size(); }
  uint8_t operator[](size_t index) const { return bytes_[index]; }
  unsigned sum_before_last() const {
    unsigned sum = 0;
    for (size_t i = 0; i + 1 < bytes_.size(); ++i) sum += bytes_[i];
    return sum;
  }
  uint32_t number(size_t first, size_t count) const {
    uint32_t value = 0;
    for (size_t i = 0; i < count; ++i) value = value << 8 | bytes_[first + i];
    return value;
  }
  [[noreturn]] void fail(const std::string& why) const { record_error(file_, number_, why); }

 private:
  const std::string& file_;
  int number_;
  std::vector<uint8_t> bytes_;
};

uint16_t checked_address(const RecordLine& record, uint32_t address, size_t count) {
  if (address + count > 0x10000) record.fail("record beyond the 64 KiB address space");
  return static_cast<uint16_t>(address);
}

void read_s_record(const RecordLine& record, char type, ProgramImage& image) {
  // Record length, address, data, checksum; the address is 2, 3 or 4 bytes.
  if (record.size() < 3 || record[0] != record.size() - 1) record.fail("record length does not match");
  if ((~record.sum_before_last() & 0xFF) != record[record.size() - 1]) record.fail("checksum error");
  const size_t address_bytes = type == '2' || type == '8' || type == '6' ? 3 : type == '3' || type == '7' ? 4 : 2;
  if (record.size() < address_bytes + 2) record.fail("record too short");
  const uint32_t address = record.number(1, address_bytes);
  const size_t data = record.size() - address_bytes - 2;
  switch (type) {
    case '1':
    case '2':
    case '3': {
      const uint16_t at = checked_address(record, address, data);
      for (size_t i = 0; i < data; ++i) image.place(static_cast<uint16_t>(at + i), record[1 + address_bytes + i]);
      break;
    }
    case '7':
    case '8':
    case '9':
      image.start_address = checked_address(record, address, 0);
      break;
    default:  // S0 header, S5 and S6 counts
      break;
  }
}

void read_intel_record(const RecordLine& record, ProgramImage& image, bool& start_given) {
  if (record.size() < 5 || record[0] != record.size() - 5) record.fail("record length does not match");
  if ((-record.sum_before_last() & 0xFF) != record[record.size() - 1]) record.fail("checksum error");
  const uint32_t address = record.number(1, 2);
  switch (record[3]) {
    case 0x00:
      for (size_t i = 0; i < record[0]; ++i) {
        image.place(checked_address(record, address, record[0]) + static_cast<uint16_t>(i), record[4 + i]);
      }
      break;
    case 0x01:
      image.start_address = static_cast<uint16_t>(address);
      start_given = true;
      break;
    default:  // extended address and start records: not used by 16-bit programs
      break;
  }
}

void read_records(const std::string& name, const std::string& content, ObjectFormat format, ProgramImage& image) {
  std::istringstream lines(content);
  std::string text;
  int number = 0;
  bool start_given = false;
  while (std::getline(lines, text)) {
    ++number;
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t')) text.pop_back();
    if (text.empty()) continue;
    if (format == ObjectFormat::intel_hex) {
      if (text[0] != ':') record_error(name, number, "not an Intel hex record");
      read_intel_record(RecordLine(name, number, text, 1), image, start_given);
    } else {
      if (text.size() < 2 || text[0] != 'S' || text[1] < '0' || text[1] > '9') {
        record_error(name, number, "not an S-record");
      }
      read_s_record(RecordLine(name, number, text, 2), text[1], image);
    }
  }
  // zorm writes 0000 into the end record when the program has no start
  // address; it means address 0 only when the program has a byte there.
  if (start_given && image.start_address == 0 && !image.used.test(0)) image.start_address.reset();
}

}  // namespace

uint16_t ProgramImage::lowest_address() const {
  for (size_t address = 0; address < used.size(); ++address) {
    if (used.test(address)) return static_cast<uint16_t>(address);
  }
  return 0;
}

uint16_t ProgramImage::highest_address() const {
  for (size_t address = used.size(); address-- > 0;) {
    if (used.test(address)) return static_cast<uint16_t>(address);
  }
  return 0;
}

ObjectFormat guess_object_format(const std::string& path, const std::string& content) {
  if (ends_with(path, ".s19")) return ObjectFormat::s_records;
  if (ends_with(path, ".hex")) return ObjectFormat::intel_hex;
  if (ends_with(path, ".bin") || ends_with(path, ".com")) return ObjectFormat::binary;
  if (!content.empty() && content[0] == ':') return ObjectFormat::intel_hex;
  if (content.size() > 1 && content[0] == 'S' && content[1] >= '0' && content[1] <= '9') {
    return ObjectFormat::s_records;
  }
  return ObjectFormat::binary;
}

ProgramImage read_object(const std::string& name, const std::string& content, ObjectFormat format,
                         uint16_t load_address) {
  ProgramImage image;
  if (format != ObjectFormat::binary) {
    read_records(name, content, format, image);
    return image;
  }
  if (content.size() + load_address > 0x10000) {
    throw LoadError(name + ": " + std::to_string(content.size()) + " bytes do not fit in memory from address " +
                    std::to_string(load_address));
  }
  for (size_t i = 0; i < content.size(); ++i) {
    image.place(static_cast<uint16_t>(load_address + i), static_cast<uint8_t>(content[i]));
  }
  return image;
}

std::string read_whole_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw LoadError("cannot open " + path);
  std::ostringstream content;
  content << file.rdbuf();
  if (file.bad()) throw LoadError("cannot read " + path);
  return content.str();
}

}  // namespace zorm::dbg
