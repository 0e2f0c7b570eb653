#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "symbols/name_bytes.h"

namespace zorm::test {
namespace {

// The hash taken byte by byte, as the words read from little-endian memory
// give it.
uint64_t bytewise_hash(std::string_view name) {
  const size_t n = name.size();
  uint64_t h = n * 0x9E3779B97F4A7C15ull;
  for (size_t i = 0; i < n; i += 8) {
    uint64_t word = 0;
    for (size_t k = 0; k < 8 && i + k < n; ++k) word |= uint64_t{static_cast<unsigned char>(name[i + k])} << (8 * k);
    h = (h ^ word) * 0xFF51AFD7ED558CCDull;
  }
  h ^= h >> 32;
  return h * 0xC4CEB9FE1A85EC53ull >> 32;
}

// A name at the very end of its own allocation, so that a read past it would
// be a fault under the sanitizers.
struct TightName {
  explicit TightName(const std::string& text) : bytes(new char[text.size() + 1]) {
    std::memcpy(bytes.get(), text.data(), text.size());
    view = std::string_view(bytes.get(), text.size());
  }
  std::unique_ptr<char[]> bytes;
  std::string_view view;
};

std::string name_of_length(size_t length, unsigned seed) {
  std::string name;
  for (size_t i = 0; i < length; ++i) name += static_cast<char>("abcXYZ_019.$?@"[(seed * 7 + i * 13 + i * i) % 14]);
  return name;
}

TEST(NameBytes, HashIsTheBytewiseOneForEveryLength) {
  for (size_t length = 0; length <= 40; ++length) {
    for (unsigned seed = 0; seed < 5; ++seed) {
      const std::string name = name_of_length(length, seed);
      const TightName tight(name);
      EXPECT_EQ(name_hash(tight.view), bytewise_hash(name)) << name;
    }
  }
  // Bytes with the top bit set.
  EXPECT_EQ(name_hash("\xff\x80x"), bytewise_hash("\xff\x80x"));
  EXPECT_EQ(name_hash("abcdefgh\xfe"), bytewise_hash("abcdefgh\xfe"));
}

TEST(NameBytes, SameNameFindsEveryDifferingByte) {
  for (size_t length = 0; length <= 40; ++length) {
    const std::string name = name_of_length(length, 3);
    const TightName a(name);
    const TightName b(name);
    EXPECT_TRUE(same_name(a.view, b.view)) << name;
    for (size_t at = 0; at < length; ++at) {
      std::string other = name;
      other[at] = static_cast<char>(other[at] ^ 0x20);
      const TightName c(other);
      EXPECT_FALSE(same_name(a.view, c.view)) << name << " at " << at;
      EXPECT_FALSE(same_name(c.view, a.view)) << name << " at " << at;
    }
    const TightName longer(name + "x");
    EXPECT_FALSE(same_name(a.view, longer.view)) << name;
  }
}

}  // namespace
}  // namespace zorm::test
