#pragma once
// The assembler opens a relative name from the folder it runs in, as the
// command line does when run in the project folder. The server runs in no
// particular folder and assembles many programs at once, so it roots each
// program's relative names in that program's folder instead.

#include <string>

#include "zorm/source_provider.h"

namespace zorm::lsp {

class RootedProvider : public SourceProvider {
 public:
  RootedProvider(std::string folder, SourceProvider& below) : folder_(std::move(folder)), below_(below) {}
  PathKind kind(const std::string& path) override { return below_.kind(rooted(path)); }
  std::unique_ptr<SourceFile> open(const std::string& path) override { return below_.open(rooted(path)); }
  // A relative path as seen from the folder; an absolute one unchanged.
  std::string rooted(const std::string& path) const;

 private:
  std::string folder_;
  SourceProvider& below_;
};

// The path of a file relative to folder when it lies inside it ("src/a.asm"),
// else the path unchanged.
std::string relative_to(const std::string& path, const std::string& folder);

}  // namespace zorm::lsp
