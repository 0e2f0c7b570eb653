// libFuzzer target: the whole assembler, in-process, on the input bytes as
// the main source. The first byte chooses the options; include files come
// from a small fixed set in the scratch folder.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  zorm::fuzz::assemble(std::string(reinterpret_cast<const char*>(data + 1), size - 1), data[0]);
  return 0;
}
