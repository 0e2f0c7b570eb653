#include "lsp/project.h"

#include <sys/stat.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

namespace zorm::lsp {

namespace {

constexpr const char* PROCESSOR_NAMES[] = {"8080", "8085", "z80", "z80x", "z180", "z280"};

bool is_regular_file(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string parent_of(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return "";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string joined(const std::string& folder, const std::string& name) {
  if (!name.empty() && name[0] == '/') return name;
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool is_inside(const std::string& path, const std::string& folder) {
  if (folder.empty()) return false;
  if (path == folder) return true;
  const std::string prefix = folder.back() == '/' ? folder : folder + "/";
  return path.compare(0, prefix.size(), prefix) == 0;
}

// A member that must be an array of strings.
std::vector<std::string> strings_of(const nlohmann::json& object, const char* name, std::string& problem) {
  std::vector<std::string> strings;
  const auto member = object.find(name);
  if (member == object.end()) return strings;
  if (!member->is_array()) {
    problem = std::string("\"") + name + "\" must be an array of strings";
    return strings;
  }
  for (const nlohmann::json& entry : *member) {
    if (entry.is_string()) {
      strings.push_back(entry.get<std::string>());
    } else {
      problem = std::string("\"") + name + "\" must hold strings only";
    }
  }
  return strings;
}

}  // namespace

std::optional<Processor> processor_named(const std::string& name) {
  for (int level = 0; level < 6; ++level) {
    if (name == PROCESSOR_NAMES[level]) return static_cast<Processor>(level);
  }
  return std::nullopt;
}

const char* processor_name(Processor processor) {
  const int level = static_cast<int>(processor);
  return level >= 0 && level < 6 ? PROCESSOR_NAMES[level] : "z80";
}

ProjectSettings read_project_file(const std::string& file) {
  ProjectSettings settings;
  settings.file = file;
  settings.folder = parent_of(file);
  std::ifstream stream(file, std::ios::binary);
  std::stringstream content;
  content << stream.rdbuf();
  nlohmann::json object;
  try {
    object = nlohmann::json::parse(content.str());
  } catch (const nlohmann::json::exception& failure) {
    settings.problem = std::string("not valid JSON: ") + failure.what();
    return settings;
  }
  if (!object.is_object()) {
    settings.problem = "must hold one JSON object";
    return settings;
  }
  if (const auto main = object.find("main"); main != object.end()) {
    if (main->is_string() && !main->get<std::string>().empty()) {
      settings.main = joined(settings.folder, main->get<std::string>());
    } else {
      settings.problem = "\"main\" must be a file name";
    }
  }
  if (const auto processor = object.find("processor"); processor != object.end()) {
    const std::optional<Processor> level =
        processor->is_string() ? processor_named(processor->get<std::string>()) : std::nullopt;
    if (level) {
      settings.processor = *level;
    } else {
      settings.problem = "\"processor\" must be one of \"8080\", \"8085\", \"z80\", \"z80x\", \"z180\", \"z280\"";
    }
  }
  settings.defines = strings_of(object, "defines", settings.problem);
  settings.include_paths = strings_of(object, "includePaths", settings.problem);
  strings_of(object, "options", settings.problem);
  return settings;
}

ProjectSettings find_project(const std::string& folder, const std::string& workspace_root) {
  const bool bounded = is_inside(folder, workspace_root);
  for (std::string at = folder; !at.empty();) {
    const std::string candidate = joined(at, PROJECT_FILE_NAME);
    if (is_regular_file(candidate)) return read_project_file(candidate);
    if ((bounded && at == workspace_root) || at == "/") break;
    at = parent_of(at);
  }
  return {};
}

}  // namespace zorm::lsp
