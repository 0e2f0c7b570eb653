#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "output/output_file.h"
#include "zorm/temporary_files.h"
#include "support/assemble.h"

namespace zorm::test {
namespace {

TEST(TemporaryFiles, SlotsHoldCompletePathsUntilForgotten) {
  TempDir dir;
  TemporaryFiles files;
  std::vector<std::string> paths;
  for (int i = 0; i < TemporaryFiles::SLOTS; ++i) {
    paths.push_back(dir.write(std::string("f").append(std::to_string(i)), "x"));
    EXPECT_TRUE(files.add(paths.back()));
  }
  const std::string spare = dir.write("spare", "x");
  EXPECT_FALSE(files.add(spare)) << "every slot is in use";
  EXPECT_FALSE(files.add(std::string(TemporaryFiles::PATH_SIZE, 'p'))) << "the path does not fit";
  files.forget(paths[1]);
  EXPECT_TRUE(files.add(spare));
  files.remove_all();
  EXPECT_EQ(folder_entries(dir.path()), std::vector<std::string>{"f1"});
}

TEST(OutputFile, TheTemporaryFileIsRecordedUntilItIsInPlace) {
  TempDir dir;
  TemporaryFiles files;
  OutputFile output;
  ASSERT_TRUE(output.open(files, dir.file("t.bin"), false));
  const std::vector<std::string> open = folder_entries(dir.path());
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(open[0].rfind("t.bin.zorm-", 0), 0u) << open[0];
  files.remove_all();  // what a signal handler does
  EXPECT_TRUE(folder_entries(dir.path()).empty());
  EXPECT_FALSE(output.commit()) << "the file to rename is gone";

  ASSERT_TRUE(output.open(files, dir.file("t.bin"), false));
  std::fputs("new", output.file());
  EXPECT_TRUE(output.commit());
  files.remove_all();  // forgotten once in place
  EXPECT_EQ(folder_entries(dir.path()), std::vector<std::string>{"t.bin"});
  EXPECT_EQ(dir.read("t.bin"), "new");
}

TEST(OutputFile, AnIncompleteFileLeavesTheEarlierOne) {
  TempDir dir;
  TemporaryFiles files;
  dir.write("t.lst", "earlier");
  {
    OutputFile output;
    ASSERT_TRUE(output.open(files, dir.file("t.lst"), true));
    std::fputs("half", output.file());
    EXPECT_FALSE(output.commit(true));
  }
  {
    OutputFile output;
    ASSERT_TRUE(output.open(files, dir.file("t.lst"), true));
    std::fputs("half", output.file());
  }  // given up without a commit
  EXPECT_EQ(folder_entries(dir.path()), std::vector<std::string>{"t.lst"});
  EXPECT_EQ(dir.read("t.lst"), "earlier");
}

TEST(OutputFile, AReplacedFileKeepsItsPermissions) {
  TempDir dir;
  TemporaryFiles files;
  const std::string path = dir.write("t.hex", "earlier");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  OutputFile output;
  ASSERT_TRUE(output.open(files, path, true));
  EXPECT_TRUE(output.commit());
  struct stat st;
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(OutputFile, AFifoIsWrittenDirectly) {
  TempDir dir;
  const std::string fifo = dir.file("t.hex");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const std::string source = dir.write("t.asm", "\tdb 0x5a\n");
  std::string received;
  std::thread reader([&] { received = read_file(fifo); });
  RunResult run = run_assembler({"-q", "-s2", "-o" + fifo, source});
  reader.join();
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(received, ":010000005AA5\n:00000001FF\n");
  struct stat st;
  ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the pipe was replaced";
  EXPECT_EQ(folder_entries(dir.path()), (std::vector<std::string>{"t.asm", "t.hex", "t.lst"}));
}

}  // namespace
}  // namespace zorm::test
