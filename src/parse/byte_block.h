#pragma once

#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zorm {

// Sixteen bytes of a line, compared with one value at once: bit i of the
// result is set where byte i equals it. All sixteen bytes must be readable.
#if defined(__SSE2__)
struct ByteBlock {
  explicit ByteBlock(const char* p) : bytes(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))) {}
  uint32_t equal(char c) const {
    return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(c))));
  }
  __m128i bytes;
};
#else
struct ByteBlock {
  explicit ByteBlock(const char* p) : bytes(p) {}
  uint32_t equal(char c) const {
    uint32_t mask = 0;
    for (int i = 0; i < 16; ++i) mask |= static_cast<uint32_t>(bytes[i] == c) << i;
    return mask;
  }
  const char* bytes;
};
#endif

}  // namespace zorm
