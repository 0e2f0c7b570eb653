#pragma once

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace zorm {

class OutputFile;
class TemporaryFiles;

// An output stream of the run: standard output, standard error or the listing.
// It writes to a C stream (opened in text mode, so line ends are the
// platform's), keeps the text in memory, does both, or drops it. A stream made
// without a file collects its text, which lets tests and embedding programs
// assemble in-process and look at everything the run printed.
class TextStream {
 public:
  TextStream();  // collects in memory; not open until opened
  explicit TextStream(FILE* file);  // writes to a C stream, which it leaves open
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

  // Writes to a C stream from now on, and leaves it open.
  void attach(FILE* file);
  // Opens an output file for writing as text; false when it cannot be
  // created. It takes the place of an earlier file of its name when it is
  // closed complete (see OutputFile). With keep_copy the text is also kept in
  // memory.
  bool open_file(TemporaryFiles& temporary_files, const std::string& path, bool keep_copy = false);
  // Opens the stream without a file: it keeps its text, or drops it.
  void open_in_memory(bool keep_text);
  // Gives the C stream a full buffer; false when none could be had.
  bool set_buffer(size_t size);
  // Flushes the C stream, or completes the output file; failed() tells
  // whether everything could be written.
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
  std::unique_ptr<OutputFile> output_;  // the file opened by open_file
  bool keep_ = true;  // the text goes to captured_
  bool open_ = false;
  bool failed_ = false;
  std::string captured_;
};

}  // namespace zorm
