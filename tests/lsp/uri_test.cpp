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

TEST(Uri, ClientsEncodeDifferentlyAndAllDecodeAlike) {
  EXPECT_EQ(path_from_uri("file:///src/my%20game/a.asm", PathStyle::posix), "/src/my game/a.asm");
  EXPECT_EQ(path_from_uri("file:///src/my game/a.asm", PathStyle::posix), "/src/my game/a.asm");
  EXPECT_EQ(path_from_uri("FILE://localhost/src/a.asm", PathStyle::posix), "/src/a.asm");
  EXPECT_EQ(path_from_uri("file:/src/a.asm", PathStyle::posix), "/src/a.asm");
  EXPECT_EQ(path_from_uri("file:///src/a%2.asm", PathStyle::posix), "/src/a%2.asm");
  EXPECT_EQ(path_from_uri("file:///src/a.asm#L3", PathStyle::posix), "/src/a.asm");
}

TEST(Uri, WindowsDriveLettersAndShares) {
  EXPECT_EQ(path_from_uri("file:///c%3A/src/a.asm", PathStyle::windows), "C:\\src\\a.asm");
  EXPECT_EQ(path_from_uri("file:///C:/src/a%20b.asm", PathStyle::windows), "C:\\src\\a b.asm");
  EXPECT_EQ(path_from_uri("file:///d:", PathStyle::windows), "D:\\");
  EXPECT_EQ(path_from_uri("file://server/share/a.asm", PathStyle::windows), "\\\\server\\share\\a.asm");
  EXPECT_EQ(uri_from_path("C:\\src\\a b.asm", PathStyle::windows), "file:///c%3A/src/a%20b.asm");
  EXPECT_EQ(uri_from_path("\\\\server\\share\\a.asm", PathStyle::windows), "file://server/share/a.asm");
  EXPECT_EQ(path_from_uri("file:///c%3A/src/a.asm", PathStyle::posix), "/c:/src/a.asm");
}

TEST(Uri, OtherSchemesAndRelativeUrisAreRefused) {
  EXPECT_EQ(path_from_uri("untitled:Untitled-1", PathStyle::posix), std::nullopt);
  EXPECT_EQ(path_from_uri("https://example.com/a.asm", PathStyle::posix), std::nullopt);
  EXPECT_EQ(path_from_uri("file:a.asm", PathStyle::posix), std::nullopt);
  EXPECT_EQ(path_from_uri("", PathStyle::posix), std::nullopt);
}

}  // namespace
}  // namespace zorm::lsp
