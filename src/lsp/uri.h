#pragma once
// Conversion between file paths and the file: URIs of the protocol. The one
// place that knows about percent-encoding and Windows drive letters.

#include <optional>
#include <string>
#include <string_view>

namespace zorm::lsp {

enum class PathStyle {
  posix,    // /home/me/prog.asm
  windows,  // C:\Users\me\prog.asm, \\server\share\prog.asm
#ifdef _WIN32
  host = windows,
#else
  host = posix,
#endif
};

// The path a file: URI names; nothing for another scheme or a URI that is
// not absolute. "file:///c%3A/src/a.asm" is "C:\src\a.asm" in the Windows
// style (drive letters in upper case) and "/c:/src/a.asm" in the POSIX
// style.
std::optional<std::string> path_from_uri(std::string_view uri, PathStyle style = PathStyle::host);

// The file: URI of an absolute path, with every byte outside the unreserved
// characters and "/" percent-encoded ("file:///c%3A/src/a.asm" for
// "C:\src\a.asm").
std::string uri_from_path(std::string_view path, PathStyle style = PathStyle::host);

}  // namespace zorm::lsp
