#pragma once
// The assembler run in-process as its command line, for tests that want its
// outputs and nothing of its insides (so they need not include them).

#include <string>
#include <vector>

namespace zorm::test {

struct ZormRun {
  int status = 0;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs zorm with these arguments (argv[0] is added).
ZormRun run_zorm(const std::vector<std::string>& args);

}  // namespace zorm::test
