#include "output/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "zorm/temporary_files.h"

namespace zorm {

namespace {

// An earlier file written in place is kept in memory up to this size to be
// put back; a larger one is overwritten without that safety.
constexpr long long MAX_RESTORABLE_SIZE = 16 * 1024 * 1024;

// Where a symbolic link leads, followed even when its target does not exist
// yet; the name itself when it is no link.
std::string link_target(const std::string& name) {
#ifndef _WIN32
  std::string path = name;
  for (int depth = 0; depth < 16; ++depth) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer - 1);
    if (n <= 0) return path;
    const std::string next(buffer, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    path = next[0] == '/' || slash == std::string::npos ? next : path.substr(0, slash + 1) + next;
  }
  return path;
#else
  return name;
#endif
}

bool read_whole(const std::string& path, std::string& content) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  content.clear();
  char buffer[8192];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) != 0) content.append(buffer, n);
  const bool complete = std::ferror(file) == 0;
  std::fclose(file);
  return complete;
}

}  // namespace

bool OutputFile::open(TemporaryFiles& temporary_files, const std::string& name, bool text) {
  discard();
  temporary_files_ = &temporary_files;
  const char* mode = text ? "w" : "wb";
  struct stat st;
  const bool exists = ::stat(name.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return false;
  if (exists && !S_ISREG(st.st_mode)) {
    route_ = Route::DIRECT;
    file_ = std::fopen(name.c_str(), mode);
    return file_ != nullptr;
  }
  // A symbolic link keeps pointing at the file it names.
  target_ = link_target(name);
  if (exists && ::access(target_.c_str(), W_OK) != 0) return false;
  if (open_temporary(mode, exists ? static_cast<int>(st.st_mode & 07777) : -1)) return true;
  return exists && open_in_place(mode, static_cast<long long>(st.st_size));
}

bool OutputFile::open_temporary(const char* mode, int earlier_permissions) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name =
        target_ + ".zorm-" + std::to_string(static_cast<long>(::getpid())) + "-" + std::to_string(attempt);
    struct stat existing;
    if (::stat(name.c_str(), &existing) == 0) continue;
    // Recorded before it exists, so that no moment is left in which a signal
    // would find the file but not its name.
    const bool recorded = temporary_files_->add(name);
    // fopen makes the file in the object's own mode, with the usual
    // permissions and, for text, the platform's line ends.
    file_ = std::fopen(name.c_str(), mode);
    if (file_ == nullptr) {
      if (recorded) temporary_files_->forget(name);
      return false;
    }
#ifndef _WIN32
    // The file that takes the place of an earlier one keeps its permissions.
    if (earlier_permissions >= 0) ::fchmod(::fileno(file_), static_cast<mode_t>(earlier_permissions));
#else
    (void)earlier_permissions;
#endif
    temporary_ = name;
    route_ = Route::TEMPORARY;
    return true;
  }
  return false;
}

bool OutputFile::open_in_place(const char* mode, long long earlier_size) {
  restorable_ = earlier_size <= MAX_RESTORABLE_SIZE && read_whole(target_, earlier_);
  route_ = Route::IN_PLACE;
  file_ = std::fopen(target_.c_str(), mode);
  if (file_ == nullptr) earlier_.clear();
  return file_ != nullptr;
}

bool OutputFile::commit(bool failed) {
  if (file_ == nullptr) return false;
  if (std::ferror(file_) != 0) failed = true;
  if (std::fclose(file_) != 0) failed = true;
  file_ = nullptr;
  if (!failed && route_ == Route::TEMPORARY) {
#ifdef _WIN32
    // rename() does not replace an existing file here.
    std::remove(target_.c_str());
#endif
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
      failed = true;
    } else {
      temporary_files_->forget(temporary_);
    }
  }
  if (failed) give_up();
  route_ = Route::DIRECT;
  earlier_.clear();
  return !failed;
}

void OutputFile::discard() {
  if (file_ == nullptr) return;
  std::fclose(file_);
  file_ = nullptr;
  give_up();
  route_ = Route::DIRECT;
  earlier_.clear();
}

void OutputFile::give_up() {
  if (route_ == Route::TEMPORARY) {
    std::remove(temporary_.c_str());
    temporary_files_->forget(temporary_);
  } else if (route_ == Route::IN_PLACE && restorable_) {
    FILE* file = std::fopen(target_.c_str(), "wb");
    if (file != nullptr) {
      std::fwrite(earlier_.data(), 1, earlier_.size(), file);
      std::fclose(file);
    }
  }
}

}  // namespace zorm
