// libFuzzer target for the properties that must hold for every source
// (tests/support/source_properties.h), on programs built from the input
// bytes: the first byte picks the property (and for the comparison with GNU
// as and pasmo the processor level), the rest are the generator's choices.
// A property that does not hold prints what differed and aborts. The
// comparisons that need GNU as or objcopy are left out where these are not
// installed.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/peer_tools.h"
#include "support/source_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zorm::test;
  if (size < 2) return 0;
  static const bool with_gas = gas_available();
  static const bool with_objcopy = !record_objcopy().empty();
  Random choices(data + 1, size - 1);
  // About one statement for every eight bytes of choices.
  const int statements = 4 + static_cast<int>(std::min<size_t>(size / 8, 120));
  std::string failure;
  switch (data[0] % 4) {
    case 0:
      failure = check_skipped_lines(choices, statements);
      break;
    case 1:
      failure = check_moved_lines(choices, statements);
      break;
    case 2:
      if (with_objcopy) failure = check_object_formats(choices, statements);
      break;
    default:
      if (with_gas) failure = check_peer_bytes(choices, data[0] / 4 % 6, statements);
      break;
  }
  if (!failure.empty()) {
    std::fprintf(stderr, "%s\n", failure.c_str());
    std::abort();
  }
  return 0;
}
