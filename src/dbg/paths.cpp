#include "dbg/paths.h"

#include <filesystem>
#include <system_error>

#include "zorm/source_provider.h"

namespace zorm::dbg {

std::string canonical(const std::string& path) { return canonical_path(path); }

std::string resolve(const std::string& folder, const std::string& path) {
  if (folder.empty() || path.empty() || path[0] == '/') return path;
  return folder.back() == '/' ? folder + path : folder + "/" + path;
}

std::string folder_of(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return "";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool file_exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

}  // namespace zorm::dbg
