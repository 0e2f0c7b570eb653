// Runs of the built command line that are cut short: by the file size limit,
// by a signal, by a reader on the other end of a pipe. Whatever happens, no
// temporary file is left behind and an earlier complete output keeps its
// place. These run the program itself, since the signal handling belongs to
// the command line, not to the assembler it runs.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/assemble.h"

namespace zorm::test {
namespace {

struct ProgramRun {
  int status = -1;  // the exit status; 128 + the signal when it died of one
  std::string out;  // standard output
};

// A run of the zorm program in folder, started and not yet waited for. Its
// standard output is a pipe that is read only by finish(), so that a run
// printing more than a pipe holds waits there until it is read.
class Program {
 public:
  Program(const std::string& folder, const std::vector<std::string>& args, long file_size_limit = -1) {
    int channel[2];
    if (::pipe(channel) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(channel[0]);
      ::dup2(channel[1], STDOUT_FILENO);
      ::close(channel[1]);
      const int null = ::open("/dev/null", O_RDWR);
      ::dup2(null, STDIN_FILENO);
      ::dup2(null, STDERR_FILENO);
      // The program starts with every signal at its default action.
      for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGXFSZ}) ::signal(s, SIG_DFL);
      if (file_size_limit >= 0) {
        const rlimit limit{static_cast<rlim_t>(file_size_limit), static_cast<rlim_t>(file_size_limit)};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(200);
      }
      if (::chdir(folder.c_str()) != 0) ::_exit(201);
      std::vector<char*> argv{const_cast<char*>(ZORM_BINARY)};
      for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
      argv.push_back(nullptr);
      ::execv(ZORM_BINARY, argv.data());
      ::_exit(202);
    }
    ::close(channel[1]);
    out_ = channel[0];
  }
  ~Program() {
    if (pid_ > 0) finish();
  }

  void send(int signal_number) const { ::kill(pid_, signal_number); }

  // Reads standard output to its end (unless unread) and waits for the end.
  ProgramRun finish(bool unread = false) {
    ProgramRun run;
    char buffer[4096];
    while (!unread) {
      const ssize_t n = ::read(out_, buffer, sizeof buffer);
      if (n <= 0) break;
      run.out.append(buffer, static_cast<size_t>(n));
    }
    ::close(out_);
    int wait_status = 0;
    ::waitpid(pid_, &wait_status, 0);
    pid_ = -1;
    if (WIFEXITED(wait_status)) run.status = WEXITSTATUS(wait_status);
    if (WIFSIGNALED(wait_status)) run.status = 128 + WTERMSIG(wait_status);
    return run;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
};

std::vector<std::string> temporary_files_in(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename();
    if (name.find(".zorm-") != std::string::npos) names.push_back(name);
  }
  return names;
}

// 64 KiB of object, far beyond a file size limit of 4 KiB: 200 records of
// data, then a gap up to the last address.
std::string full_memory() {
  std::string source;
  for (int line = 0; line < 200; ++line) {
    source += "\tdb 0";
    for (int i = 1; i < 32; ++i) source.append(1, ',').append(std::to_string(i));
    source += "\n";
  }
  return source + "\tds 0xffff-$\n\tdb 0x22\n";
}

TEST(InterruptedRuns, TheFileSizeLimitIsAWriteError) {
  for (const char* format : {"-s0", "-s2"}) {
    TempDir dir;
    dir.write("t.asm", full_memory());
    const std::string object = std::string("t.") + (format[2] == '0' ? "bin" : "hex");
    dir.write(object, "an earlier object\n");
    ProgramRun run = Program(dir.path(), {"-q", format, "t.asm"}, 4096).finish();
    if (run.status == 200) GTEST_SKIP() << "cannot limit the file size";
    EXPECT_EQ(run.status, 2) << format << " (" << 128 + SIGXFSZ << " is death by SIGXFSZ)";
    EXPECT_EQ(run.out, "Can't create output file " + object + ".\n");
    EXPECT_EQ(dir.read(object), "an earlier object\n");
    EXPECT_EQ(temporary_files_in(dir.path()), std::vector<std::string>{});
  }
}

TEST(InterruptedRuns, AListingBeyondTheFileSizeLimitLeavesTheEarlierOne) {
  TempDir dir;
  std::string source;
  for (int i = 0; i < 300; ++i) source.append("\tdb ").append(std::to_string(i % 256)).append("\n");
  dir.write("t.asm", source);
  dir.write("t.lst", "an earlier listing\n");
  ProgramRun run = Program(dir.path(), {"-q", "-l", "-onul", "t.asm"}, 4096).finish();
  if (run.status == 200) GTEST_SKIP() << "cannot limit the file size";
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "Can't create output file t.lst.\n");
  EXPECT_EQ(dir.read("t.lst"), "an earlier listing\n");
  EXPECT_EQ(temporary_files_in(dir.path()), std::vector<std::string>{});
}

TEST(InterruptedRuns, ASignalRemovesTheTemporaryFilesAndEndsTheRun) {
  // Several thousand errors fill the pipe on standard output, so the run
  // waits in pass 1 with its listing and debug file half written.
  std::string source;
  for (int i = 0; i < 4000; ++i) source += "\tbogus\n";
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    TempDir dir;
    dir.write("t.asm", source);
    dir.write("t.lst", "an earlier listing\n");
    dir.write("t.dbg", "an earlier debug file\n");
    Program program(dir.path(), {"-q", "-g", "t.asm"});
    std::vector<std::string> written;
    for (int wait = 0; wait < 5000 && written.size() < 2; ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      written = temporary_files_in(dir.path());
    }
    ASSERT_EQ(written.size(), 2u) << "the listing and the debug file are written as temporary files";
    program.send(signal_number);
    const ProgramRun run = program.finish();
    EXPECT_EQ(run.status, 128 + signal_number) << "it dies of the signal";
    EXPECT_EQ(temporary_files_in(dir.path()), std::vector<std::string>{}) << signal_number;
    EXPECT_EQ(dir.read("t.lst"), "an earlier listing\n");
    EXPECT_EQ(dir.read("t.dbg"), "an earlier debug file\n");
  }
}

TEST(InterruptedRuns, AReaderThatGoesAwayLeavesNoTemporaryFile) {
  std::string source;
  for (int i = 0; i < 4000; ++i) source += "\tbogus\n";
  TempDir dir;
  dir.write("t.asm", source);
  Program program(dir.path(), {"-q", "-g", "t.asm"});
  for (int wait = 0; wait < 5000 && temporary_files_in(dir.path()).size() < 2; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  // The pipe is closed unread: the next write gets SIGPIPE.
  const ProgramRun run = program.finish(true);
  EXPECT_EQ(run.status, 128 + SIGPIPE);
  EXPECT_EQ(temporary_files_in(dir.path()), std::vector<std::string>{});
}

TEST(InterruptedRuns, ObjectToStandardOutputThroughAPipe) {
  // zorm -q -s2 -o/dev/stdout p.asm | cat
  TempDir dir;
  dir.write("p.asm", "\torg 0x100\n\tld a,1\n\tend 0x100\n");
  ProgramRun run = Program(dir.path(), {"-q", "-s2", "-o/dev/stdout", "p.asm"}).finish();
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out, ":020100003E01BE\n:00010001FE\n");
  ProgramRun binary = Program(dir.path(), {"-q", "-o/dev/stdout", "p.asm"}).finish();
  EXPECT_EQ(binary.status, 0) << binary.out;
  EXPECT_EQ(binary.out, "\x3e\x01");
  EXPECT_EQ(temporary_files_in(dir.path()), std::vector<std::string>{});
}

}  // namespace
}  // namespace zorm::test
