#pragma once
// One assembly of a program, kept with what it was made from: the snapshots
// of the open documents it read and the canonical path of every file. All
// places are internal ones (file index, 1-based line, the assembler's byte
// column); the protocol layer converts them.

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "lsp/document_store.h"
#include "lsp/project.h"
#include "zorm/assembly.h"

namespace zorm::lsp {

// What to assemble: a main file with the settings of its project.
struct ProgramSetup {
  std::string main;    // canonical path
  std::string folder;  // relative names are opened from here (the project's folder, else the main file's)
  ProjectSettings settings;
};

// A place in a file of the program.
struct Spot {
  int file = -1;
  int line = 0;    // 1-based
  int column = 0;  // the assembler's byte column
  int length = 0;  // bytes
};

class Analysis {
 public:
  Analysis(ProgramSetup setup, AssemblyResult result, std::map<std::string, Snapshot> documents,
           double milliseconds);

  const ProgramSetup& setup() const { return setup_; }
  const AssemblyResult& result() const { return result_; }
  double milliseconds() const { return milliseconds_; }

  size_t file_count() const { return paths_.size(); }
  const std::string& path_of(int file) const;  // canonical; "" for no file
  int file_of(const std::string& path) const;  // -1 when the program does not read it
  // The document snapshot the file was read from; nullptr when read from disk.
  Snapshot document_of(int file) const;
  // The file's text as it was assembled (read from disk now for a file
  // that is not open), with its line index.
  const LineIndex& lines_of(int file) const;

  // The symbol of this name; -1 when there is none.
  int symbol_named(const std::string& name) const;
  // Indices into result().references written on one line, by column.
  std::vector<int> references_on(int file, int line) const;
  // Indices into result().references of one symbol, in source order.
  const std::vector<int>& references_of(int symbol) const;
  // Indices into result().lines for one line, expansion lines included.
  std::vector<int> statements_on(int file, int line) const;

 private:
  ProgramSetup setup_;
  AssemblyResult result_;
  std::map<std::string, Snapshot> documents_;
  double milliseconds_;
  std::vector<std::string> paths_;
  std::map<std::string, int> file_by_path_;
  std::map<std::string, int> symbol_by_name_;
  std::vector<int> references_by_place_;                // sorted by file and line, stable
  std::vector<std::vector<int>> references_by_symbol_;  // per symbol
  std::vector<int> statements_by_place_;                // sorted by file, line

  struct DiskText {
    std::string text;
    std::unique_ptr<LineIndex> lines;
  };
  mutable std::mutex disk_mutex_;
  mutable std::map<int, DiskText> disk_texts_;
};

// Assembles a program from the given open documents (and the file system
// for the rest), stopping early when cancel reads true.
std::shared_ptr<const Analysis> analyse(const ProgramSetup& setup, const std::vector<Snapshot>& documents,
                                        const std::atomic<bool>* cancel, uint64_t statement_budget);

}  // namespace zorm::lsp
