// Output files that cannot be written completely: a full device, a folder in
// the place of a file, a disk that fills up in the middle of a file, a folder
// the user may not write to. Whatever happens, the run reports "Can't create
// output file NAME." with exit status 2, and no truncated object, listing or
// debug file takes the place of an earlier one: each is written to a
// temporary file in its folder and renamed into place only when it is
// complete (or, where no temporary file can be made, written in place with
// the earlier content put back on failure).

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "robustness/child_run.h"
#include "support/assemble.h"

namespace zorm::test {
namespace {


std::vector<std::string> names(std::vector<std::string> list) {
  std::sort(list.begin(), list.end());
  return list;
}

bool is_character_device(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

std::string cannot_create(const std::string& name) { return "Can't create output file " + name + ".\n"; }

// About 16 KiB of object: more than one buffer of any stream.
const char* const LARGE_PROGRAM =
    "\torg 0x100\n"
    "start\tld hl,message\n"
    "\tjp start\n"
    "message\tdb \"a program larger than a stream buffer\",0\n"
    "\tds 0x4000\n"
    "\tdb 0xee\n"
    "\tend start\n";

struct Format {
  const char* option;  // empty: binary
  const char* extension;
};
const Format FORMATS[] = {{"", "bin"}, {"-s1", "s19"}, {"-s2", "hex"}};

std::vector<std::string> arguments(std::initializer_list<std::string> first, const Format& format,
                                   const std::string& source) {
  std::vector<std::string> args(first);
  if (*format.option != '\0') args.push_back(format.option);
  args.push_back(source);
  return args;
}

// ---- a full device -----------------------------------------------------------

TEST(OutputFaults, ObjectOnAFullDeviceLeavesTheDeviceAndNoTemporaryFile) {
  if (!is_character_device("/dev/full")) GTEST_SKIP() << "no /dev/full";
  for (const Format& format : FORMATS) {
    TempDir dir;
    const std::string source = dir.write("t.asm", LARGE_PROGRAM);
    RunResult run = run_assembler(arguments({"-q", "-o/dev/full"}, format, source));
    EXPECT_EQ(run.status, 2) << format.extension;
    EXPECT_EQ(run.out, cannot_create("/dev/full"));
    EXPECT_TRUE(is_character_device("/dev/full")) << "the device was replaced";
    EXPECT_EQ(folder_entries(dir.path()), names({"t.asm", "t.lst"})) << format.extension;
  }
}

TEST(OutputFaults, DebugFileOnAFullDevice) {
  // The debug file's name comes from the object's name, so a link named like
  // it points it at the full device.
  if (!is_character_device("/dev/full")) GTEST_SKIP() << "no /dev/full";
  TempDir dir;
  const std::string source = dir.write("t.asm", LARGE_PROGRAM);
  ASSERT_EQ(::symlink("/dev/full", dir.file("t.dbg").c_str()), 0);
  RunResult run = run_assembler({"-q", "-g", source});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, cannot_create(dir.file("t.dbg")));
  EXPECT_TRUE(is_character_device("/dev/full"));
  // The debug file is created before the listing and before pass 1, so the
  // run ends before anything else is written.
  EXPECT_EQ(folder_entries(dir.path()), names({"t.asm", "t.dbg"}));
}

// A listing sent to standard output (-l-) is an output like a listing file:
// when standard output is a full device the listing is lost, and the run
// must not report success.
TEST(OutputFaults, ListingOnAFullStandardOutputFailsTheRun) {
  if (!is_character_device("/dev/full")) GTEST_SKIP() << "no /dev/full";
  TempDir dir;
  std::string text;
  for (int i = 0; i < 400; ++i) text += "value" + std::to_string(i) + "\tequ " + std::to_string(i) + "\n";
  const std::string source = dir.write("t.asm", text);
  FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  int status;
  {
    TextStream out(full);
    TextStream err;
    Assembler assembler(out, err);
    status = assembler.run(std::vector<std::string>{"zorm", "-l-", "-l", "-onul", source});
  }
  std::fclose(full);
  EXPECT_EQ(status, 2);
}

// ---- a folder in the place of the file ----------------------------------------

TEST(OutputFaults, ObjectNamedLikeAFolderLeavesTheFolderAlone) {
  for (const Format& format : FORMATS) {
    TempDir dir;
    const std::string source = dir.write("t.asm", LARGE_PROGRAM);
    const std::string folder = dir.file(std::string("t.") + format.extension);
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    RunResult run = run_assembler(arguments({"-q"}, format, source));
    EXPECT_EQ(run.status, 2) << format.extension;
    EXPECT_EQ(run.out, cannot_create(folder));
    EXPECT_TRUE(folder_entries(folder).empty());
    EXPECT_EQ(folder_entries(dir.path()), names({"t.asm", std::string("t.") + format.extension, "t.lst"}));
  }
}

// ---- a disk that fills up in the middle of a file -------------------------------

constexpr long SMALL_DISK = 4096;  // bytes a file may grow to in these runs

TEST(OutputFaults, ObjectThatDoesNotFitIsNotLeftHalfWritten) {
  for (const Format& format : FORMATS) {
    TempDir dir;
    const std::string source = dir.write("t.asm", LARGE_PROGRAM);
    const std::string object = std::string("t.") + format.extension;
    ChildResult run = run_in_child(arguments({"-q"}, format, source), {SMALL_DISK, false});
    if (run.status == 200) GTEST_SKIP() << "cannot limit the file size";
    EXPECT_EQ(run.status, 2) << format.extension;
    EXPECT_EQ(run.out, cannot_create(dir.file(object)));
    // Neither the object nor its temporary file is left.
    EXPECT_EQ(folder_entries(dir.path()), names({"t.asm", "t.lst"})) << format.extension;
  }
}

TEST(OutputFaults, EarlierObjectSurvivesAFailedWriteWhole) {
  for (const Format& format : FORMATS) {
    TempDir dir;
    const std::string source = dir.write("t.asm", LARGE_PROGRAM);
    const std::string object = std::string("t.") + format.extension;
    const std::string earlier(SMALL_DISK / 2, 'E');
    dir.write(object, earlier);
    ChildResult run = run_in_child(arguments({"-q"}, format, source), {SMALL_DISK, false});
    if (run.status == 200) GTEST_SKIP() << "cannot limit the file size";
    EXPECT_EQ(run.status, 2) << format.extension;
    EXPECT_EQ(dir.read(object), earlier) << format.extension;
    EXPECT_EQ(folder_entries(dir.path()), names({"t.asm", object, "t.lst"}));
  }
}

TEST(OutputFaults, ListingThatDoesNotFitFailsTheRunAndLeavesTheEarlierOne) {
  TempDir dir;
  std::string text = "\tnop\n";
  for (int i = 0; i < 400; ++i) text += "value" + std::to_string(i) + "\tequ " + std::to_string(i) + "\n";
  const std::string source = dir.write("t.asm", text);
  dir.write("t.lst", "an earlier listing\n");
  ChildResult run = run_in_child({"-q", "-l", source}, {SMALL_DISK, false});
  if (run.status == 200) GTEST_SKIP() << "cannot limit the file size";
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, cannot_create(dir.file("t.lst")));
  EXPECT_EQ(dir.read("t.lst"), "an earlier listing\n");
  EXPECT_EQ(folder_entries(dir.path()), names({"t.asm", "t.bin", "t.lst"}));
}

TEST(OutputFaults, DebugFileThatDoesNotFitStopsTheRunBeforeTheObject) {
  TempDir dir;
  std::string text = "\tnop\n";
  for (int i = 0; i < 400; ++i) text += "a_rather_long_symbol_name_" + std::to_string(i) + "\tequ " + std::to_string(i) + "\n";
  const std::string source = dir.write("t.asm", text);
  dir.write("t.dbg", "an earlier debug file\n");
  ChildResult run = run_in_child({"-q", "-g", source}, {SMALL_DISK, false});
  if (run.status == 200) GTEST_SKIP() << "cannot limit the file size";
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, cannot_create(dir.file("t.dbg")));
  EXPECT_FALSE(dir.exists("t.bin"));
  EXPECT_EQ(dir.read("t.dbg"), "an earlier debug file\n");
  EXPECT_EQ(folder_entries(dir.path()), names({"t.asm", "t.dbg", "t.lst"}));
}

// ---- a folder the user may not write to -------------------------------------------

// A scratch folder that the unprivileged user can use, with a sub-folder
// "out" that it may read but not write.
struct ReadOnlyOutputFolder {
  TempDir dir;
  std::string out;
  ReadOnlyOutputFolder() : out(dir.file("out")) {
    ::chmod(dir.path().c_str(), 0777);
    ::mkdir(out.c_str(), 0755);
  }
  ~ReadOnlyOutputFolder() { ::chmod(out.c_str(), 0755); }  // so that the scratch folder can be removed
  ReadOnlyOutputFolder(const ReadOnlyOutputFolder&) = delete;
  ReadOnlyOutputFolder& operator=(const ReadOnlyOutputFolder&) = delete;
  void lock() const { ::chmod(out.c_str(), 0555); }
};

TEST(OutputFaults, ObjectInAFolderWithoutWriteAccess) {
  ReadOnlyOutputFolder folder;
  const std::string source = folder.dir.write("t.asm", LARGE_PROGRAM);
  ::chmod(source.c_str(), 0644);
  folder.lock();
  ChildResult run = run_in_child({"-q", "-l" + folder.dir.file("t.lst"), "-o" + folder.out + "/t.bin", source},
                                 {-1, true});
  if (run.status == 200) GTEST_SKIP() << "cannot run as an unprivileged user";
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, cannot_create(folder.out + "/t.bin"));
  EXPECT_TRUE(folder_entries(folder.out).empty());
}

// Files that already exist in a folder the user may not write to are written
// in place, since no temporary file can be made there.
TEST(OutputFaults, OutputsInAFolderWithoutWriteAccessAreWrittenInPlace) {
  ReadOnlyOutputFolder folder;
  const std::string source = folder.dir.write("t.asm", "\tdb 1,2,3\n");
  ::chmod(source.c_str(), 0644);
  for (const char* name : {"/t.hex", "/t.dbg", "/t.lst"}) {
    const std::string path = folder.out + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("earlier\n", file);
    std::fclose(file);
    ::chown(path.c_str(), NOBODY, NOBODY);
    ::chmod(path.c_str(), 0666);
  }
  folder.lock();
  ChildResult run =
      run_in_child({"-q", "-s2", "-g", "-l" + folder.out + "/t.lst", "-o" + folder.out + "/t.hex", source}, {-1, true});
  if (run.status == 200) GTEST_SKIP() << "cannot run as an unprivileged user";
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(read_file(folder.out + "/t.hex"), ":03000000010203F7\n:00000001FF\n");
  EXPECT_EQ(read_file(folder.out + "/t.dbg").substr(0, 4), "INFO");
  EXPECT_NE(read_file(folder.out + "/t.lst").find("0000 : 010203           \tdb 1,2,3\n"), std::string::npos);
  EXPECT_EQ(folder_entries(folder.out), names({"t.dbg", "t.hex", "t.lst"}));
}

// When such a write in place fails midway, the file cannot be removed, but
// the earlier content is put back: no truncated object is left.
TEST(OutputFaults, FailedWriteInAFolderWithoutWriteAccessLeavesNoTruncatedObject) {
  ReadOnlyOutputFolder folder;
  const std::string source = folder.dir.write("t.asm", LARGE_PROGRAM);
  ::chmod(source.c_str(), 0644);
  const std::string object = folder.out + "/t.bin";
  const std::string earlier = "an earlier object";
  FILE* file = std::fopen(object.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fputs(earlier.c_str(), file);
  std::fclose(file);
  ::chown(object.c_str(), NOBODY, NOBODY);
  ::chmod(object.c_str(), 0666);
  folder.lock();
  ChildResult run = run_in_child({"-q", "-l" + folder.dir.file("t.lst"), "-o" + object, source}, {SMALL_DISK, true});
  if (run.status == 200) GTEST_SKIP() << "cannot run as an unprivileged user with a file size limit";
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, cannot_create(object));
  EXPECT_EQ(read_file(object), earlier) << "a truncated object was left behind";
}

// ---- links -----------------------------------------------------------------------

// An object name that is a link keeps the link and writes the file it points
// to. That also holds when the file does not exist yet: the link is not
// replaced by a file of its own.
TEST(OutputFaults, ObjectThroughALinkToAFileNotYetWritten) {
  TempDir dir;
  const std::string source = dir.write("t.asm", "\tdb 0x5a\n");
  ASSERT_EQ(::mkdir(dir.file("real").c_str(), 0755), 0);
  ASSERT_EQ(::symlink("real/target.bin", dir.file("link.bin").c_str()), 0);
  RunResult run = run_assembler({"-q", "-o" + dir.file("link.bin"), source});
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.bin"))) << "the link was replaced";
  EXPECT_EQ(dir.read("real/target.bin"), "\x5a");
}

}  // namespace
}  // namespace zorm::test
