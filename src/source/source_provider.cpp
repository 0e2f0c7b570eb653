// The file system as the assembler reads it, and files held in memory in
// front of another provider.
#include "zorm/source_provider.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

#ifndef O_BINARY
#define O_BINARY 0
#endif

namespace zorm {

namespace {

// A file of the file system, read with the POSIX calls.
class PosixFile : public SourceFile {
 public:
  explicit PosixFile(int handle) : handle_(handle) {}
  ~PosixFile() override { ::close(handle_); }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  long read(char* buffer, size_t size) override {
    for (;;) {
      const auto n = ::read(handle_, buffer, static_cast<unsigned>(size));
      if (n >= 0 || errno != EINTR) return static_cast<long>(n);
    }
  }
  bool seek(uint64_t offset) override { return ::lseek(handle_, static_cast<off_t>(offset), SEEK_SET) >= 0; }

 private:
  int handle_;
};

// A text held in memory; it must outlive the file.
class MemoryFile : public SourceFile {
 public:
  explicit MemoryFile(std::string_view text) : text_(text) {}

  long read(char* buffer, size_t size) override {
    const size_t n = std::min(size, text_.size() - position_);
    std::memcpy(buffer, text_.data() + position_, n);
    position_ += n;
    return static_cast<long>(n);
  }
  bool seek(uint64_t offset) override {
    if (offset > text_.size()) return false;
    position_ = static_cast<size_t>(offset);
    return true;
  }

 private:
  std::string_view text_;
  size_t position_ = 0;
};

}  // namespace

PathKind FileSystemProvider::kind(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return PathKind::missing;
  if (S_ISREG(info.st_mode)) return PathKind::file;
  if (S_ISDIR(info.st_mode)) return PathKind::directory;
  return PathKind::other;
}

std::unique_ptr<SourceFile> FileSystemProvider::open(const std::string& path) {
  const int handle = ::open(path.c_str(), O_RDONLY | O_BINARY);
  if (handle < 0) return nullptr;
  return std::make_unique<PosixFile>(handle);
}

OverlayProvider::OverlayProvider(SourceProvider* below) : below_(below != nullptr ? below : &file_system_) {}

void OverlayProvider::set(const std::string& path, std::string content) {
  const std::string canonical = canonical_path(path);
  if (canonical != path) files_[canonical] = content;
  files_[path] = std::move(content);
}

void OverlayProvider::remove(const std::string& path) {
  files_.erase(path);
  files_.erase(canonical_path(path));
}

const std::string* OverlayProvider::find(const std::string& path) const {
  if (files_.empty()) return nullptr;
  auto found = files_.find(path);
  if (found == files_.end()) found = files_.find(canonical_path(path));
  return found == files_.end() ? nullptr : &found->second;
}

PathKind OverlayProvider::kind(const std::string& path) {
  return find(path) != nullptr ? PathKind::file : below_->kind(path);
}

std::unique_ptr<SourceFile> OverlayProvider::open(const std::string& path) {
  if (const std::string* text = find(path)) return std::make_unique<MemoryFile>(*text);
  return below_->open(path);
}

std::string canonical_path(const std::string& path) {
  namespace fs = std::filesystem;
  if (path.empty()) return path;
  std::error_code error;
  fs::path absolute = fs::absolute(fs::path(path), error);
  if (error) return fs::path(path).lexically_normal().string();
  fs::path canonical = fs::weakly_canonical(absolute, error);
  if (error) canonical = absolute.lexically_normal();
  std::string text = canonical.lexically_normal().string();
  // "/a/b/" names the folder /a/b.
  if (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

}  // namespace zorm
