#include "dbg/source_files.h"

#include <fstream>
#include <sstream>

#include "dbg/paths.h"

namespace zorm::dbg {

namespace {

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool ends_with_component(const std::string& path, const std::string& name) {
  if (path == name) return true;
  return path.size() > name.size() && path.compare(path.size() - name.size(), name.size(), name) == 0 &&
         path[path.size() - name.size() - 1] == '/';
}

}  // namespace

SourceFiles::SourceFiles(const std::vector<std::string>& recorded, const std::vector<std::string>& folders) {
  for (const std::string& name : recorded) {
    File file;
    file.recorded = name;
    file.path = name;
    for (const std::string& folder : folders) {
      const std::string candidate = resolve(folder, name);
      if (file_exists(candidate)) {
        file.path = canonical(candidate);
        file.found = true;
        break;
      }
    }
    if (!file.found && name.size() > 0 && name[0] == '/') file.path = canonical(name);
    files_.push_back(std::move(file));
  }
}

void SourceFiles::set_text(int index, std::string text) {
  File& file = files_.at(index);
  file.lines = split_lines(text);
  file.loaded = true;
  file.found = true;
}

void SourceFiles::load(File& file) {
  if (file.loaded) return;
  file.loaded = true;
  if (!file.found) return;
  std::ifstream in(file.path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  file.lines = split_lines(text.str());
}

std::optional<std::string_view> SourceFiles::line(int index, int number) {
  if (index < 0 || static_cast<size_t>(index) >= files_.size()) return std::nullopt;
  File& file = files_[index];
  load(file);
  if (number < 1 || static_cast<size_t>(number) > file.lines.size()) return std::nullopt;
  return std::string_view(file.lines[number - 1]);
}

int SourceFiles::line_count(int index) {
  if (index < 0 || static_cast<size_t>(index) >= files_.size()) return 0;
  load(files_[index]);
  return static_cast<int>(files_[index].lines.size());
}

std::vector<int> SourceFiles::find(const std::string& name) const {
  // The same file on disk first; only when none is, a recorded path that
  // ends in the name.
  std::vector<int> same_file;
  std::vector<int> same_ending;
  const std::string wanted = file_exists(name) ? canonical(name) : "";
  for (size_t i = 0; i < files_.size(); ++i) {
    const File& file = files_[i];
    if (!wanted.empty() && file.found && file.path == wanted) same_file.push_back(static_cast<int>(i));
    if (ends_with_component(file.recorded, name) || (file.found && ends_with_component(file.path, name))) {
      same_ending.push_back(static_cast<int>(i));
    }
  }
  return same_file.empty() ? same_ending : same_file;
}

}  // namespace zorm::dbg
