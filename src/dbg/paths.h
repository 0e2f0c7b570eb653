#pragma once
// File paths as the debugger compares and shows them. Every path that is
// compared goes through canonical() here, so tables keyed by path agree.

#include <string>

namespace zorm::dbg {

// The library's canonical form: absolute, with "." and ".." and repeated
// separators gone and the links of the existing part resolved.
std::string canonical(const std::string& path);
// path itself when absolute or when folder is empty, else folder/path.
std::string resolve(const std::string& folder, const std::string& path);
// The folder part ("" for a bare name, "/" for a file in the root).
std::string folder_of(const std::string& path);
bool file_exists(const std::string& path);

}  // namespace zorm::dbg
