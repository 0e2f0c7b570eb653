// libFuzzer target, structure-aware: the source is built from statement
// fragments (tests/support/fragment_generator.h) whose choices are the input
// bytes after the first, which picks the options as in zorm_fuzz. A mutated
// byte changes a whole statement, a macro definition, a conditional block or
// an include instead of one character, so the runs get past the lexer.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_harness.h"
#include "support/fragment_generator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const std::vector<std::string> includes = {"inc.asm", "nested.asm", "data.bin", "rec.hex", "rec.s19",
                                                    "main.asm"};
  zorm::test::Random choices(data + 1, size - 1);
  // About one line for every four bytes of choices.
  const int lines = 1 + static_cast<int>(std::min<size_t>(size / 4, 400));
  zorm::fuzz::assemble(zorm::test::random_source(choices, lines, includes), data[0]);
  return 0;
}
