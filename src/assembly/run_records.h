#pragma once
// What one run records for an embedding program besides what it prints: the
// source files by number, the diagnostics, the references to names, the
// assembled statements and the include directives. The command line asks for
// none of it, and recording costs it nothing but a test of a flag.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "zorm/assembly.h"

namespace zorm {

// Where something stands in the sources: a file number, a 1-based line and a
// 0-based column. Inside a macro expansion it is the place of the macro call
// in the innermost file.
struct SourcePlace {
  int32_t file = -1;
  int32_t line = 0;
  int32_t column = 0;
  bool in_expansion = false;
};

struct RunRecords {
  // The number of a source file, given in the order files are first opened.
  int file_number(const std::string& path) {
    auto [found, added] = numbers.try_emplace(path, static_cast<int>(files.size()));
    if (added) files.push_back(path);
    return found->second;
  }

  std::vector<std::string> files;
  std::unordered_map<std::string, int> numbers;
  std::vector<Diagnostic> diagnostics;
  std::vector<SymbolReference> references;
  std::vector<LineRecord> lines;
  std::vector<IncludeRecord> includes;
};

}  // namespace zorm
