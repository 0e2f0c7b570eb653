#include "lsp/rooted_provider.h"

namespace zorm::lsp {

std::string RootedProvider::rooted(const std::string& path) const {
  if (path.empty() || path[0] == '/' || folder_.empty()) return path;
  return folder_.back() == '/' ? folder_ + path : folder_ + "/" + path;
}

std::string relative_to(const std::string& path, const std::string& folder) {
  if (folder.empty()) return path;
  const std::string prefix = folder.back() == '/' ? folder : folder + "/";
  if (path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0) return path.substr(prefix.size());
  return path;
}

}  // namespace zorm::lsp
