#include <gtest/gtest.h>

#include "output/line_map.h"

namespace zorm::test {
namespace {

TEST(LineMap, KeepsTheFirstLinePerAddress) {
  LineMap map;
  map.add(0x100, 1, 0);
  map.add(0x100, 2, 0);
  map.add(0x103, 3, 0);
  map.add(0x050, 4, 1);
  map.add(0x103, 5, 0);
  const auto& entries = map.entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].address, 0x50u);
  EXPECT_EQ(entries[1].line, 1);
  EXPECT_EQ(entries[2].line, 3);
}

}  // namespace
}  // namespace zorm::test
