// The properties of support/source_properties.h, each on a number of seeded
// generated sources. Case i uses the seed base_seed() + i; a failure names
// that seed, and ZORM_PROPERTY_SEED=<seed> in the environment makes it the
// first case. The fuzz target zorm_fuzz_properties checks the same
// properties on sources built from its input bytes.
#include <gtest/gtest.h>

#include <string>

#include "support/peer_tools.h"
#include "support/source_properties.h"

namespace zorm::test {
namespace {

// Cases per property in the normal run (a few seconds in all).
constexpr int SKIPPED_LINES_CASES = 400;
constexpr int PEER_BYTES_CASES_PER_LEVEL = 5;
constexpr int MOVED_LINES_CASES = 200;
constexpr int OBJECT_FORMATS_CASES = 60;
constexpr int STATEMENTS = 60;

template <typename Check>
void run_cases(int cases, Check check) {
  int failures = 0;
  for (int i = 0; i < cases && failures < 3; ++i) {
    const uint32_t seed = base_seed() + static_cast<uint32_t>(i);
    Random r(seed);
    const std::string failure = check(r);
    if (!failure.empty()) {
      ++failures;
      ADD_FAILURE() << "seed " << seed << ": " << failure;
    }
  }
  ::testing::Test::RecordProperty("cases", cases);
}

TEST(SourceProperties, LinesInAFalseBlockChangeNothing) {
  run_cases(SKIPPED_LINES_CASES, [](Random& r) { return check_skipped_lines(r, STATEMENTS); });
}

TEST(SourceProperties, MovingLinesIntoAnIncludeOrAMacroChangesNoByte) {
  run_cases(MOVED_LINES_CASES, [](Random& r) { return check_moved_lines(r, STATEMENTS); });
}

TEST(SourceProperties, RecordFormatsDecodeToTheBinary) {
  if (record_objcopy().empty()) GTEST_SKIP() << "no objcopy installed (binutils or binutils-z80): not checked";
  run_cases(OBJECT_FORMATS_CASES, [](Random& r) { return check_object_formats(r, STATEMENTS); });
}

class PeerBytes : public ::testing::TestWithParam<int> {};

TEST_P(PeerBytes, ProgramsGiveTheBytesOfGnuAsAndPasmo) {
  if (!gas_available()) GTEST_SKIP() << "z80-unknown-coff-as / z80-unknown-coff-objcopy not installed: not checked";
  if (!pasmo_available()) std::printf("pasmo is not installed: compared with GNU as only\n");
  const int level = GetParam();
  run_cases(PEER_BYTES_CASES_PER_LEVEL, [level](Random& r) { return check_peer_bytes(r, level, 3 * STATEMENTS); });
}

INSTANTIATE_TEST_SUITE_P(EveryProcessorLevel, PeerBytes, ::testing::Range(0, 6));

}  // namespace
}  // namespace zorm::test
