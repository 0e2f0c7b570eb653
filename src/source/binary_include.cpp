#include "source/binary_include.h"

#include <cstring>
#include <memory>

#include "assembly/assembler.h"

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

// Reads a file line by line as fgets() reads a stream opened as text: at most
// size - 1 bytes, up to and including a line feed. Where text streams differ
// from binary ones, a carriage return before a line feed is dropped and a
// Ctrl-Z ends the file.
class RecordFileReader {
 public:
  explicit RecordFileReader(SourceFile& file) : file_(file) {}

  bool next_line(char* text, size_t size) {
    size_t n = 0;
    while (n + 1 < size) {
      const int c = next_byte();
      if (c < 0) break;
      text[n++] = static_cast<char>(c);
      if (c == '\n') break;
    }
    text[n] = '\0';
    if (n == 0) return false;
    // A line is read whole: what does not fit (characters after a record's
    // checksum, the end of a long comment line) is dropped, never read as a
    // line of its own.
    if (n + 1 == size && text[n - 1] != '\n') {
      for (int c = next_byte(); c >= 0 && c != '\n'; c = next_byte()) {
      }
    }
    return true;
  }

 private:
  int next_byte() {
#ifdef _WIN32
    int c = raw_byte();
    if (c == 0x1A) ended_ = true;
    if (ended_) return -1;
    if (c == '\r' && peek_byte() == '\n') c = raw_byte();
    return c;
#else
    return raw_byte();
#endif
  }
  int raw_byte() {
    if (position_ == filled_ && !refill()) return -1;
    return static_cast<unsigned char>(buffer_[position_++]);
  }
  [[maybe_unused]] int peek_byte() {
    if (position_ == filled_ && !refill()) return -1;
    return static_cast<unsigned char>(buffer_[position_]);
  }
  bool refill() {
    const long n = file_.read(buffer_, sizeof buffer_);
    position_ = 0;
    filled_ = n > 0 ? static_cast<size_t>(n) : 0;
    return filled_ > 0;
  }

  SourceFile& file_;
  char buffer_[4096];
  size_t position_ = 0;
  size_t filled_ = 0;
  [[maybe_unused]] bool ended_ = false;
};

}  // namespace

int include_binary(Assembler& as, const std::string& path) {
  std::unique_ptr<SourceFile> file = as.source_provider->open(path);
  if (!file) return ERROR_FILE_NOT_FOUND;
  char buffer[INCLUDE_BYTE_LIMIT];
  size_t count = 0;
  while (count < sizeof buffer) {
    const long n = file->read(buffer + count, sizeof buffer - count);
    if (n <= 0) break;
    count += static_cast<size_t>(n);
  }
  for (size_t i = 0; i < count; ++i) as.image.emit_byte(static_cast<unsigned char>(buffer[i]));
  return as.image.statement_memory_error;
}

int include_records(Assembler& as, const std::string& path) {
  std::unique_ptr<SourceFile> file = as.source_provider->open(path);
  if (!file) return ERROR_FILE_NOT_FOUND;
  RecordFileReader reader(*file);
  RecordReader records{as};
  const Options& o = as.options;
  char text[RECORD_LINE_SIZE];
  int line_count = 0;
  while (reader.next_line(text, sizeof text)) {
    ++line_count;
    if (!o.quiet && (line_count % 100 == 0 || (o.verbose && line_count % 25 == 0))) {
      as.err.printf("Reading line %5d\r", line_count);
    }
    // A line that holds only a line end is empty, whichever line end it has.
    if (text[0] == '\n' || text[0] == ';' || std::strcmp(text, "\r\n") == 0) continue;
    if (text[0] != ':' && text[0] != 'S') return ERROR_INVALID_RECORD_LINE;
    if (records.read_line(text) == LineResult::INVALID) return ERROR_INVALID_RECORD_LINE;
  }
  return as.image.statement_memory_error;
}

}  // namespace zorm
