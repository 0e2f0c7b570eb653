#pragma once

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zorm {

// Sixteen bytes of text looked at at once; whoever loads or stores a block
// makes sure that sixteen bytes can be read or written there. The masks have
// bit i set when byte i is of the kind asked for.
#if defined(__SSE2__)

using ByteBlock = __m128i;

inline ByteBlock load_block(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void store_block(char* p, ByteBlock block) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), block); }

// Control bytes other than the tab (line feed and end-of-chunk sentinel
// among them).
inline unsigned control_bytes(ByteBlock block) {
  // Unsigned bytes below 0x20 are those that the minimum with 0x1F leaves.
  const __m128i low = _mm_cmpeq_epi8(_mm_min_epu8(block, _mm_set1_epi8(0x1F)), block);
  const __m128i tab = _mm_cmpeq_epi8(block, _mm_set1_epi8('\t'));
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_andnot_si128(tab, low)));
}

// Bytes equal to c.
inline unsigned equal_bytes(ByteBlock block, char c) {
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(c))));
}

// Bytes that are alike in both blocks.
inline unsigned equal_blocks(ByteBlock a, ByteBlock b) {
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, b)));
}

// Bytes other than spaces and tabs.
inline unsigned non_blank_bytes(ByteBlock block) {
  const __m128i blank = _mm_or_si128(_mm_cmpeq_epi8(block, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(block, _mm_set1_epi8('\t')));
  return static_cast<unsigned>(_mm_movemask_epi8(blank)) ^ 0xFFFFu;
}

#else

struct ByteBlock {
  unsigned char bytes[16];
};

inline ByteBlock load_block(const char* p) {
  ByteBlock block;
  std::memcpy(block.bytes, p, 16);
  return block;
}
inline void store_block(char* p, const ByteBlock& block) { std::memcpy(p, block.bytes, 16); }

inline unsigned control_bytes(const ByteBlock& block) {
  unsigned mask = 0;
  for (int i = 0; i < 16; ++i) {
    if (block.bytes[i] < 0x20 && block.bytes[i] != '\t') mask |= 1u << i;
  }
  return mask;
}

inline unsigned equal_bytes(const ByteBlock& block, char c) {
  unsigned mask = 0;
  for (int i = 0; i < 16; ++i) {
    if (block.bytes[i] == static_cast<unsigned char>(c)) mask |= 1u << i;
  }
  return mask;
}

inline unsigned equal_blocks(const ByteBlock& a, const ByteBlock& b) {
  unsigned mask = 0;
  for (int i = 0; i < 16; ++i) {
    if (a.bytes[i] == b.bytes[i]) mask |= 1u << i;
  }
  return mask;
}

inline unsigned non_blank_bytes(const ByteBlock& block) {
  unsigned mask = 0;
  for (int i = 0; i < 16; ++i) {
    if (block.bytes[i] != ' ' && block.bytes[i] != '\t') mask |= 1u << i;
  }
  return mask;
}

#endif

// The position of the first byte a mask marks, 16 when it marks none.
inline int first_marked(unsigned mask) { return mask == 0 ? 16 : std::countr_zero(mask); }

}  // namespace zorm
