#pragma once
// The program's source files as the debug file names them, found on disk
// and read when their lines are first wanted.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorm::dbg {

class SourceFiles {
 public:
  SourceFiles() = default;
  // recorded: the paths as the assembler opened them. A relative one is
  // looked for in each folder in turn (the folder the assembler ran in is
  // not recorded); the first place it exists wins.
  SourceFiles(const std::vector<std::string>& recorded, const std::vector<std::string>& folders);
  // Sources given as texts (an editor's buffers, an in-process assembly),
  // keyed by the path they were found under.
  void set_text(int index, std::string text);

  size_t size() const { return files_.size(); }
  const std::string& recorded(int index) const { return files_.at(index).recorded; }
  // The path on disk: canonical when the file was found, else as recorded.
  const std::string& path(int index) const { return files_.at(index).path; }
  bool found(int index) const { return files_.at(index).found; }
  // The text of a 1-based line, without its line end.
  std::optional<std::string_view> line(int index, int number);
  int line_count(int index);
  // The files a name given by the user stands for: the same file on disk, or
  // a recorded path that is the name or ends in "/" and the name.
  std::vector<int> find(const std::string& name) const;

 private:
  struct File {
    std::string recorded;
    std::string path;
    bool found = false;
    bool loaded = false;
    std::vector<std::string> lines;
  };
  void load(File& file);
  std::vector<File> files_;
};

}  // namespace zorm::dbg
