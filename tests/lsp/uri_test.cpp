#include "lsp/uri.h"

#include <gtest/gtest.h>

namespace zorm::lsp {
namespace {

TEST(Uri, PosixPathsRoundTripWithPercentEncoding) {
  EXPECT_EQ(uri_from_path("/home/me/prog.asm", PathStyle::posix), "file:///home/me/prog.asm");
  EXPECT_EQ(uri_from_path("/src/my game/über #1.asm", PathStyle::posix),
            "file:///src/my%20game/%C3%BCber%20%231.asm");
  for (const char* path : {"/a/b.asm", "/src/my game/über #1.asm", "/x/%41?.z80", "/"}) {
    EXPECT_EQ(path_from_uri(uri_from_path(path, PathStyle::posix), PathStyle::posix), path) << path;
  }
}

// URIs as different clients write them, and the paths they name.
struct Decoding {
  const char* uri;
  PathStyle style;
  const char* path;
};

TEST(Uri, ClientsEncodeDifferentlyAndAllDecodeAlike) {
  const Decoding cases[] = {
      {"file:///src/my%20game/a.asm", PathStyle::posix, "/src/my game/a.asm"},
      {"file:///src/my game/a.asm", PathStyle::posix, "/src/my game/a.asm"},
      {"FILE://localhost/src/a.asm", PathStyle::posix, "/src/a.asm"},
      {"file:/src/a.asm", PathStyle::posix, "/src/a.asm"},
      {"file:///src/a%2.asm", PathStyle::posix, "/src/a%2.asm"},
      {"file:///src/a.asm#L3", PathStyle::posix, "/src/a.asm"},
      // Windows drive letters (VS Code writes c%3A) and shares.
      {"file:///c%3A/src/a.asm", PathStyle::windows, "C:\\src\\a.asm"},
      {"file:///C:/src/a%20b.asm", PathStyle::windows, "C:\\src\\a b.asm"},
      {"file:///d:", PathStyle::windows, "D:\\"},
      {"file://server/share/a.asm", PathStyle::windows, "\\\\server\\share\\a.asm"},
      {"file:///c%3A/src/a.asm", PathStyle::posix, "/c:/src/a.asm"},
  };
  for (const Decoding& decoding : cases) EXPECT_EQ(path_from_uri(decoding.uri, decoding.style), decoding.path) << decoding.uri;
}

TEST(Uri, WindowsPathsBecomeUrisWithEncodedDriveLetters) {
  EXPECT_EQ(uri_from_path("C:\\src\\a b.asm", PathStyle::windows), "file:///c%3A/src/a%20b.asm");
  EXPECT_EQ(uri_from_path("\\\\server\\share\\a.asm", PathStyle::windows), "file://server/share/a.asm");
}

TEST(Uri, OtherSchemesAndRelativeUrisAreRefused) {
  EXPECT_EQ(path_from_uri("untitled:Untitled-1", PathStyle::posix), std::nullopt);
  EXPECT_EQ(path_from_uri("https://example.com/a.asm", PathStyle::posix), std::nullopt);
  EXPECT_EQ(path_from_uri("file:a.asm", PathStyle::posix), std::nullopt);
  EXPECT_EQ(path_from_uri("", PathStyle::posix), std::nullopt);
}

}  // namespace
}  // namespace zorm::lsp
