#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>
#include <string_view>

namespace zorm {

// An output stream of the run: standard output, standard error or the listing.
// It writes to a C stream (opened in text mode, so line ends are the
// platform's), keeps the text in memory, does both, or drops it. A stream made
// without a file collects its text, which lets tests and embedding programs
// assemble in-process and look at everything the run printed.
class TextStream {
 public:
  TextStream() = default;  // collects in memory; not open until opened
  explicit TextStream(FILE* file, bool owns = false) { attach(file, owns); }
  ~TextStream();
  TextStream(const TextStream&) = delete;
  TextStream& operator=(const TextStream&) = delete;

  void printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void vprintf(const char* format, va_list args);
  void write(std::string_view text);
  void write(const char* data, size_t size) { write(std::string_view(data, size)); }
  void put(char c);
  // puts() semantics: the text and a line feed.
  void puts(const char* text);
  void flush();

  // Writes to a C stream from now on (closed with the stream when owned).
  void attach(FILE* file, bool owns = false);
  // Opens a file for writing as text; false when it cannot be created. With
  // keep_copy the text is also kept in memory.
  bool open_file(const char* path, bool keep_copy = false);
  // Opens the stream without a file: it keeps its text, or drops it.
  void open_in_memory(bool keep_text);
  // Gives the C stream a full buffer; false when none could be had.
  bool set_buffer(size_t size);
  void close();

  // Opened by one of the calls above, or made with a C stream.
  bool is_open() const { return open_; }
  bool failed() const { return failed_; }
  FILE* file() const { return file_; }
  const std::string& text() const { return captured_; }
  std::string take_text() { return std::move(captured_); }
  void clear_text() { captured_.clear(); }

 private:
  FILE* file_ = nullptr;
  bool owns_ = false;
  bool keep_ = true;  // the text goes to captured_
  bool open_ = false;
  bool failed_ = false;
  std::string captured_;
};

}  // namespace zorm
