#pragma once
// Where an assembly reads its files from: the file system by default, or an
// embedding program's memory (unsaved editor buffers) in front of it.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace zorm {

// What a path names, as far as the assembler cares.
enum class PathKind {
  missing,    // nothing there, or it cannot be examined
  file,       // a regular file: can be read as source
  directory,  // skipped by the include search
  other,      // a device, a pipe, ...: exists, but is no source
};

// One open file, read front to back, possibly again after a seek.
class SourceFile {
 public:
  virtual ~SourceFile() = default;
  // Reads up to size bytes; the count read, 0 at the end, -1 on a read error
  // (which the assembler treats like the end of the file).
  virtual long read(char* buffer, size_t size) = 0;
  // Moves the read position to offset; false when that fails.
  virtual bool seek(uint64_t offset) = 0;
};

// Answers the assembler's questions about paths. Paths are passed exactly as
// the assembler builds them (an include search joins the include path's
// directories and the name as written), so a provider that keys its files by
// canonical path canonicalises them itself.
class SourceProvider {
 public:
  virtual ~SourceProvider() = default;
  virtual PathKind kind(const std::string& path) = 0;
  // nullptr when the file cannot be opened.
  virtual std::unique_ptr<SourceFile> open(const std::string& path) = 0;
};

// The file system, read as the command line reads it.
class FileSystemProvider : public SourceProvider {
 public:
  PathKind kind(const std::string& path) override;
  std::unique_ptr<SourceFile> open(const std::string& path) override;
};

// Files held in memory, in front of another provider (by default the file
// system). A path is looked up as given and then by its canonical absolute
// form; texts set under an absolute path are therefore found however the
// assembler spells the path. The texts must not change while an assembly
// reads them.
class OverlayProvider : public SourceProvider {
 public:
  explicit OverlayProvider(SourceProvider* below = nullptr);  // nullptr: the file system
  void set(const std::string& path, std::string content);
  void remove(const std::string& path);
  PathKind kind(const std::string& path) override;
  std::unique_ptr<SourceFile> open(const std::string& path) override;

 private:
  const std::string* find(const std::string& path) const;
  std::map<std::string, std::string> files_;
  FileSystemProvider file_system_;
  SourceProvider* below_;
};

// The canonical absolute form of a path: made absolute against the current
// folder, "." and ".." and repeated separators removed, symbolic links of the
// existing part resolved. A path that does not exist keeps its other parts.
std::string canonical_path(const std::string& path);

}  // namespace zorm
