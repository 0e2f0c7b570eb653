#include "source/binary_include.h"

#include <cstdio>
#include <cstring>

#include "driver/assembler.h"

namespace zorm {

namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// One record line and the position of the next two-digit byte in it.
class RecordLine {
 public:
  RecordLine(const char* text, size_t position) : text_(text), length_(std::strlen(text)), position_(position) {}

  // The next byte, or -1 when its two characters are not hexadecimal digits
  // (the line end included).
  int next_byte() {
    if (position_ + 2 > length_) return -1;
    const int high = hex_digit(text_[position_]);
    const int low = hex_digit(text_[position_ + 1]);
    position_ += 2;
    if (high < 0 || low < 0) return -1;
    return high * 16 + low;
  }

  int next_word() {
    const int high = next_byte();
    if (high < 0) return -1;
    const int low = next_byte();
    if (low < 0) return -1;
    return high * 256 + low;
  }

 private:
  const char* text_;
  size_t length_;
  size_t position_;
};

enum class LineResult { DONE, SKIPPED, INVALID };

struct RecordReader {
  Assembler& as;
  int budget = INCLUDE_BYTE_LIMIT;
  bool have_previous_end = false;
  int32_t previous_end = 0;

  LineResult read_line(const char* text) {
    const bool intel = text[0] == ':';
    int count;
    int address;
    unsigned sum;
    RecordLine line(text, intel ? 3 : 4);
    if (intel) {
      int type = RecordLine(text, 7).next_byte();
      if (type < 0) return LineResult::INVALID;
      if (type != 0) return LineResult::SKIPPED;
      count = RecordLine(text, 1).next_byte();
      if (count < 1 || count > MAX_RECORD_DATA) return LineResult::INVALID;
      sum = static_cast<unsigned>(count);
    } else {
      if (text[1] != '1') return LineResult::SKIPPED;
      const int length = RecordLine(text, 2).next_byte();
      if (length < 4 || length > MAX_RECORD_DATA + 3) return LineResult::INVALID;
      count = length - 3;
      sum = static_cast<unsigned>(length);
    }
    address = line.next_word();
    if (address < 0) return LineResult::INVALID;
    if (intel) line.next_byte();  // the type, 00, read above
    sum += static_cast<unsigned>((address >> 8) + (address & 0xFF));

    // The first record lands at the statement's current end; each later one
    // keeps its distance from the end of the record before it.
    if (have_previous_end) as.image.statement_length += address - previous_end;
    have_previous_end = true;
    previous_end = address;

    for (int i = 0; i < count; ++i) {
      if (budget == 0) return LineResult::INVALID;
      --budget;
      const int byte = line.next_byte();
      if (byte < 0) return LineResult::INVALID;
      sum += static_cast<unsigned>(byte);
      ++previous_end;
      as.image.emit_byte(byte);
    }
    const int checksum = line.next_byte();
    const unsigned expected = intel ? -sum & 0xFF : ~sum & 0xFF;
    if (checksum < 0 || static_cast<unsigned>(checksum) != expected) return LineResult::INVALID;
    return LineResult::DONE;
  }
};

}  // namespace

int include_binary(Assembler& as, const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return ERROR_FILE_NOT_FOUND;
  for (int count = 0; count < INCLUDE_BYTE_LIMIT; ++count) {
    const int byte = std::fgetc(file);
    if (byte == EOF) break;
    as.image.emit_byte(byte);
  }
  std::fclose(file);
  return as.image.statement_memory_error;
}

int include_records(Assembler& as, const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr) return ERROR_FILE_NOT_FOUND;
  RecordReader reader{as};
  const Options& o = as.options;
  char text[RECORD_LINE_SIZE];
  int line_count = 0;
  for (;;) {
    // The last byte of the buffer is overwritten only when a read fills it.
    text[sizeof text - 1] = 'x';
    if (std::fgets(text, sizeof text, file) == nullptr) break;
    // A line is read whole: what does not fit (characters after a record's
    // checksum, the end of a long comment line) is dropped, never read as a
    // line of its own.
    if (text[sizeof text - 1] == '\0' && text[sizeof text - 2] != '\n') {
      int c;
      do {
        c = std::fgetc(file);
      } while (c != '\n' && c != EOF);
    }
    ++line_count;
    if (!o.quiet && (line_count % 100 == 0 || (o.verbose && line_count % 25 == 0))) {
      as.err.printf("Reading line %5d\r", line_count);
    }
    // A line that holds only a line end is empty, whichever line end it has.
    if (text[0] == '\n' || text[0] == ';' || std::strcmp(text, "\r\n") == 0) continue;
    if (text[0] != ':' && text[0] != 'S') {
      std::fclose(file);
      return ERROR_INVALID_RECORD_LINE;
    }
    if (reader.read_line(text) == LineResult::INVALID) {
      std::fclose(file);
      return ERROR_INVALID_RECORD_LINE;
    }
  }
  std::fclose(file);
  return as.image.statement_memory_error;
}

}  // namespace zorm
