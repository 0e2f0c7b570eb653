#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>
#include <string_view>

namespace zorm {

// An output stream of the run: standard output, standard error or the listing.
// It either writes to a C stream (opened in text mode, so line ends are the
// platform's) or collects the text in memory, which lets tests assemble
// in-process and look at everything the run printed.
class TextStream {
 public:
  TextStream() = default;  // collects in memory
  explicit TextStream(FILE* file, bool owns = false) : file_(file), owns_(owns) {}
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

  // Opens a file for writing as text; false when it cannot be created.
  bool open_file(const char* path);
  // Gives the C stream a full buffer; false when none could be had.
  bool set_buffer(size_t size);
  void close();

  bool is_file() const { return file_ != nullptr; }
  bool failed() const { return failed_; }
  FILE* file() const { return file_; }
  const std::string& text() const { return captured_; }
  void clear_text() { captured_.clear(); }

 private:
  FILE* file_ = nullptr;
  bool owns_ = false;
  bool failed_ = false;
  std::string captured_;
};

}  // namespace zorm
