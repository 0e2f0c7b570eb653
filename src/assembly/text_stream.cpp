#include "assembly/text_stream.h"

#include <vector>

#include "output/output_file.h"

namespace zorm {

TextStream::TextStream() = default;

TextStream::TextStream(FILE* file) { attach(file); }

// An output file still open here was not completed: it is given up.
TextStream::~TextStream() {
  if (output_ == nullptr) close();
}

void TextStream::close() {
  if (output_ != nullptr) {
    if (!output_->commit(failed_)) failed_ = true;
    output_.reset();
  } else if (file_ != nullptr && std::fflush(file_) != 0) {
    failed_ = true;
  }
  file_ = nullptr;
  open_ = false;
}

void TextStream::attach(FILE* file) {
  close();
  file_ = file;
  keep_ = false;
  open_ = true;
}

bool TextStream::open_file(TemporaryFiles& temporary_files, const std::string& path, bool keep_copy) {
  close();
  auto output = std::make_unique<OutputFile>();
  if (!output->open(temporary_files, path, true)) return false;
  file_ = output->file();
  output_ = std::move(output);
  keep_ = keep_copy;
  open_ = true;
  return true;
}

void TextStream::open_in_memory(bool keep_text) {
  close();
  keep_ = keep_text;
  open_ = true;
}

bool TextStream::set_buffer(size_t size) {
  if (file_ == nullptr) return true;
  return std::setvbuf(file_, nullptr, _IOFBF, size) == 0;
}

void TextStream::printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  vprintf(format, args);
  va_end(args);
}

void TextStream::vprintf(const char* format, va_list args) {
  if (!keep_) {
    if (file_ != nullptr && std::vfprintf(file_, format, args) < 0) failed_ = true;
    return;
  }
  char small[512];
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (n < 0) return;
  if (static_cast<size_t>(n) < sizeof small) {
    write(std::string_view(small, static_cast<size_t>(n)));
    return;
  }
  std::vector<char> big(static_cast<size_t>(n) + 1);
  std::vsnprintf(big.data(), big.size(), format, args);
  write(std::string_view(big.data(), static_cast<size_t>(n)));
}

void TextStream::write(std::string_view text) {
  if (file_ != nullptr && !text.empty() && std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
    failed_ = true;
  }
  if (keep_) captured_.append(text);
}

void TextStream::put(char c) {
  if (file_ != nullptr && std::fputc(static_cast<unsigned char>(c), file_) == EOF) failed_ = true;
  if (keep_) captured_.push_back(c);
}

void TextStream::puts(const char* text) {
  write(std::string_view(text));
  put('\n');
}

void TextStream::flush() {
  if (file_ != nullptr && std::fflush(file_) != 0) failed_ = true;
}

}  // namespace zorm
