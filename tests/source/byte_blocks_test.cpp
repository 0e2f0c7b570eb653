// The byte masks of sixteen-byte blocks, for every byte value and position.

#include <gtest/gtest.h>

#include "source/byte_blocks.h"

namespace zorm::test {
namespace {

TEST(ByteBlocks, MasksMarkEveryByteOfItsKindWhereverItStands) {
  for (int value = 0; value < 256; ++value) {
    const char c = static_cast<char>(value);
    const bool control = value < 0x20 && value != '\t';
    const bool blank = value == ' ' || value == '\t';
    for (int at = 0; at < 16; ++at) {
      char bytes[16];
      for (char& b : bytes) b = 'x';
      bytes[at] = c;
      const ByteBlock block = load_block(bytes);
      const unsigned bit = 1u << at;
      EXPECT_EQ(control_bytes(block), control ? bit : 0u) << value << " at " << at;
      EXPECT_EQ(non_blank_bytes(block), blank ? 0xFFFFu & ~bit : 0xFFFFu) << value << " at " << at;
      EXPECT_EQ(equal_bytes(block, c), value == 'x' ? 0xFFFFu : bit) << value << " at " << at;
      char copy[16];
      store_block(copy, block);
      EXPECT_EQ(copy[at], c);
    }
  }
  EXPECT_EQ(first_marked(0), 16);
  EXPECT_EQ(first_marked(0x8000), 15);
  EXPECT_EQ(first_marked(0x0110), 4);
}

}  // namespace
}  // namespace zorm::test
