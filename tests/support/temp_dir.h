#pragma once
// Scratch folders and files for tests; needs nothing of the assembler.

#include <string>

namespace zorm::test {

// The whole content of a file, byte for byte ("" when it cannot be read).
std::string read_file(const std::string& path);

// A scratch folder for one test, removed when it goes out of scope.
class TempDir {
 public:
  // Where the folder is made: /tmp, or a memory file system (/dev/shm, where
  // there is one) for tests that run the assembler hundreds of times.
  enum class Place { disk, memory };
  explicit TempDir(Place place = Place::disk);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Writes a file (binary, exactly these bytes) and returns its path.
  std::string write(const std::string& name, const std::string& content) const;
  std::string read(const std::string& name) const;
  bool exists(const std::string& name) const;

 private:
  std::string path_;
};

}  // namespace zorm::test
