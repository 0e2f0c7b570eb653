#pragma once
// The project file zorm.json: the main file, processor level, defines and
// include paths of a program, found by walking up from a document's folder.

#include <optional>
#include <string>
#include <vector>

#include "zorm/assembly.h"

namespace zorm::lsp {

inline constexpr const char* PROJECT_FILE_NAME = "zorm.json";

struct ProjectSettings {
  std::string file;    // the zorm.json read; empty when there is none
  std::string folder;  // its folder: relative paths start there
  std::optional<std::string> main;  // the main source, absolute
  Processor processor = Processor::z80;
  std::vector<std::string> defines;        // as -D takes them
  std::vector<std::string> include_paths;  // as written (relative to folder)
  // What was wrong with the file (members of the wrong type are ignored);
  // empty when nothing was.
  std::string problem;
};

// Reads one project file.
ProjectSettings read_project_file(const std::string& file);

// The settings for a document in folder: from the nearest zorm.json in that
// folder or above it, up to and including workspace_root when the folder is
// inside it (else up to the file system's root). Without one: the defaults.
ProjectSettings find_project(const std::string& folder, const std::string& workspace_root);

// The level named as in zorm.json ("8080", "8085", "z80", "z80x", "z180",
// "z280"), and back.
std::optional<Processor> processor_named(const std::string& name);
const char* processor_name(Processor processor);

}  // namespace zorm::lsp
