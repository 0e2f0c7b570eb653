#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace zorm {

// Hashing and comparing symbol names, which are short: whole words are read
// where they lie inside the name, never past its end.

namespace name_bytes_detail {
inline uint64_t load64(const char* p) {
  uint64_t word;
  std::memcpy(&word, p, 8);
  return word;
}
inline uint32_t load32(const char* p) {
  uint32_t word;
  std::memcpy(&word, p, 4);
  return word;
}
}  // namespace name_bytes_detail

// The name's bytes taken eight at a time as little-endian words, the last
// few as a shorter one.
inline uint64_t name_hash(std::string_view name) {
  using namespace name_bytes_detail;
  const char* p = name.data();
  const size_t n = name.size();
  uint64_t h = n * 0x9E3779B97F4A7C15ull;
  size_t i = 0;
  for (; i + 8 <= n; i += 8) h = (h ^ load64(p + i)) * 0xFF51AFD7ED558CCDull;
  const size_t rest = n - i;
  if (rest != 0) {
    uint64_t tail = 0;
    if constexpr (std::endian::native == std::endian::little) {
      if (n >= 8) {
        tail = load64(p + n - 8) >> (8 * (8 - rest));  // the last eight bytes, those before the rest shifted out
      } else if (rest >= 4) {
        tail = load32(p) | uint64_t{load32(p + rest - 4)} << (8 * (rest - 4));
      } else {
        // One to three bytes: the first, the middle and the last cover them.
        const auto byte = [p](size_t k) { return uint64_t{static_cast<unsigned char>(p[k])} << (8 * k); };
        tail = byte(0) | byte(rest / 2) | byte(rest - 1);
      }
    } else {
      for (size_t k = 0; k < rest; ++k) tail |= uint64_t{static_cast<unsigned char>(p[i + k])} << (8 * k);
    }
    h = (h ^ tail) * 0xFF51AFD7ED558CCDull;
  }
  h ^= h >> 32;
  return h * 0xC4CEB9FE1A85EC53ull >> 32;
}

// Whether two names are the same bytes.
inline bool same_name(std::string_view a, std::string_view b) {
  using namespace name_bytes_detail;
  const size_t n = a.size();
  if (n != b.size()) return false;
  const char* x = a.data();
  const char* y = b.data();
  if (n >= 8) {
    for (size_t i = 0; i + 8 < n; i += 8) {
      if (load64(x + i) != load64(y + i)) return false;
    }
    return load64(x + n - 8) == load64(y + n - 8);
  }
  if (n >= 4) return load32(x) == load32(y) && load32(x + n - 4) == load32(y + n - 4);
  if (n == 0) return true;
  return x[0] == y[0] && x[n / 2] == y[n / 2] && x[n - 1] == y[n - 1];
}

}  // namespace zorm
