// The file system provider, files held in memory in front of it, and the
// paths the assembler asks a provider about.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "support/assemble.h"
#include "zorm/zorm.h"

namespace zorm::test {
namespace {

std::string read_all(SourceFile& file) {
  std::string text;
  char buffer[3];  // small, so that a read never takes all
  for (long n; (n = file.read(buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
  return text;
}

TEST(SourceProvider, TheFileSystemTellsFilesFromFoldersAndDevices) {
  TempDir dir;
  const std::string path = dir.write("a.asm", "hello world");
  FileSystemProvider files;
  EXPECT_EQ(files.kind(path), PathKind::file);
  EXPECT_EQ(files.kind(dir.path()), PathKind::directory);
  EXPECT_EQ(files.kind(dir.file("none")), PathKind::missing);
  EXPECT_EQ(files.kind("/dev/null"), PathKind::other);
  EXPECT_EQ(files.open(dir.file("none")), nullptr);

  std::unique_ptr<SourceFile> file = files.open(path);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(read_all(*file), "hello world");
  ASSERT_TRUE(file->seek(6));
  EXPECT_EQ(read_all(*file), "world");
}

TEST(SourceProvider, AnOverlayServesItsTextsBeforeTheFileSystem) {
  TempDir dir;
  const std::string on_disk = dir.write("disk.asm", "disk");
  const std::string shadowed = dir.write("both.asm", "disk");
  OverlayProvider overlay;
  overlay.set(shadowed, "memory");
  overlay.set(dir.file("new.asm"), "unsaved");

  EXPECT_EQ(read_all(*overlay.open(shadowed)), "memory");
  EXPECT_EQ(read_all(*overlay.open(on_disk)), "disk");
  EXPECT_EQ(read_all(*overlay.open(dir.file("new.asm"))), "unsaved");
  EXPECT_EQ(overlay.kind(dir.file("new.asm")), PathKind::file);
  EXPECT_EQ(overlay.kind(dir.path()), PathKind::directory);

  std::unique_ptr<SourceFile> memory = overlay.open(shadowed);
  EXPECT_EQ(read_all(*memory), "memory");
  EXPECT_TRUE(memory->seek(3));
  EXPECT_EQ(read_all(*memory), "ory");
  EXPECT_FALSE(memory->seek(7));

  overlay.remove(shadowed);
  EXPECT_EQ(read_all(*overlay.open(shadowed)), "disk");
}

TEST(SourceProvider, AnOverlayFindsATextHoweverThePathIsSpelled) {
  TempDir dir;
  std::filesystem::create_directories(dir.file("sub"));
  ASSERT_EQ(::symlink(dir.path().c_str(), dir.file("link").c_str()), 0);
  OverlayProvider overlay;
  overlay.set(dir.file("a.asm"), "text");
  for (const std::string& spelling :
       {dir.file("sub/../a.asm"), dir.path() + "//./a.asm", dir.file("link/a.asm"), dir.file("none/../a.asm")}) {
    std::unique_ptr<SourceFile> file = overlay.open(spelling);
    ASSERT_NE(file, nullptr) << spelling;
    EXPECT_EQ(read_all(*file), "text") << spelling;
  }
  // A relative spelling, from the working folder.
  const std::filesystem::path here = std::filesystem::current_path();
  std::filesystem::current_path(dir.file("sub"));
  std::unique_ptr<SourceFile> relative = overlay.open("../a.asm");
  std::filesystem::current_path(here);
  ASSERT_NE(relative, nullptr);
  EXPECT_EQ(read_all(*relative), "text");
}

TEST(SourceProvider, CanonicalPaths) {
  TempDir dir;
  std::filesystem::create_directories(dir.file("real"));
  ASSERT_EQ(::symlink(dir.file("real").c_str(), dir.file("link").c_str()), 0);
  const std::string real = canonical_path(dir.file("real"));
  EXPECT_EQ(canonical_path(dir.file("link/x.asm")), real + "/x.asm");
  EXPECT_EQ(canonical_path(dir.file("link/./y/../z//w.asm")), real + "/z/w.asm");
  EXPECT_EQ(canonical_path(dir.file("real/")), real);
  EXPECT_EQ(canonical_path("/"), "/");
  EXPECT_EQ(canonical_path(""), "");
  const std::filesystem::path here = std::filesystem::current_path();
  std::filesystem::current_path(real);
  EXPECT_EQ(canonical_path("q.asm"), real + "/q.asm");
  std::filesystem::current_path(here);
}

// Nothing at all, so that no question reaches the disk.
class NoFiles : public SourceProvider {
 public:
  PathKind kind(const std::string&) override { return PathKind::missing; }
  std::unique_ptr<SourceFile> open(const std::string&) override { return nullptr; }
};

// Answers from memory and notes every question.
class RecordingProvider : public SourceProvider {
 public:
  PathKind kind(const std::string& path) override {
    asked.push_back("kind " + path);
    return overlay.kind(path);
  }
  std::unique_ptr<SourceFile> open(const std::string& path) override {
    asked.push_back("open " + path);
    return overlay.open(path);
  }
  NoFiles nothing;
  OverlayProvider overlay{&nothing};
  std::vector<std::string> asked;
};

TEST(SourceProvider, TheAssemblerAsksForPathsAsItBuildsThem) {
  RecordingProvider provider;
  provider.overlay.set("m", "\tinclude \"x.asm\"\n\tinclude \"x.hex\"\n");
  provider.overlay.set("lib/x.asm", "\tnop\n");
  provider.overlay.set("lib/x.hex", ":0100000007F8\n:00000001FF\n");
  AssemblyOptions options;
  options.main_file = "m";
  options.include_paths = {"lib", "other/"};
  options.sources = &provider;
  const AssemblyResult result = assemble(options);
  EXPECT_EQ(result.exit_status, 0) << result.standard_output;
  EXPECT_EQ(result.object, (std::vector<uint8_t>{0x00, 0x07}));
  // The main file as given (no default extension needed), then the include
  // search: the name as written, then each include folder; both passes.
  const std::vector<std::string> one_pass = {"open m",           "kind x.asm",     "kind lib/x.asm",
                                             "open lib/x.asm",   "kind x.hex",     "kind lib/x.hex",
                                             "open lib/x.hex"};
  std::vector<std::string> expected = {"kind m"};
  for (int pass = 0; pass < 2; ++pass) expected.insert(expected.end(), one_pass.begin(), one_pass.end());
  EXPECT_EQ(provider.asked, expected);
}

TEST(SourceProvider, RecordIncludesReadAsTextFromAnyProvider) {
  OverlayProvider overlay;
  overlay.set("/nonexistent-zorm/m.asm", "\torg 4\n\tinclude \"r.s19\"\n");
  // Windows line ends, a blank line and a comment between the records.
  overlay.set("/nonexistent-zorm/r.s19", "S1050000AA55FB\r\n\r\n; note\nS9030000FC\r\n");
  AssemblyOptions options;
  options.main_file = "/nonexistent-zorm/m.asm";
  options.include_paths = {"/nonexistent-zorm"};
  options.sources = &overlay;
  const AssemblyResult result = assemble(options);
  EXPECT_EQ(result.exit_status, 0) << result.standard_output;
  EXPECT_EQ(result.object, (std::vector<uint8_t>{0xAA, 0x55}));
  EXPECT_TRUE(result.used[4] && result.used[5]);
}

}  // namespace
}  // namespace zorm::test
