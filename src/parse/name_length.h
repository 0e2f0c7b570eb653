#pragma once

#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "parse/lexer.h"

namespace zorm {

// How many of the bytes at p continue a name, as the lexer takes it (the
// first is a name character): at most MAX_IDENTIFIER_CHARS. 32 bytes at p
// are readable.
#if defined(__SSE2__)
namespace name_length_detail {
inline uint32_t name_mask(const char* p) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  // Letters: the byte with bit 5 set, moved so that 'a' to 'z' are the 26
  // smallest signed values; digits likewise.
  const __m128i lower = _mm_or_si128(bytes, _mm_set1_epi8(0x20));
  const __m128i letter =
      _mm_cmplt_epi8(_mm_add_epi8(lower, _mm_set1_epi8(static_cast<char>(0x80 - 'a'))), _mm_set1_epi8(-128 + 26));
  const __m128i digit =
      _mm_cmplt_epi8(_mm_add_epi8(bytes, _mm_set1_epi8(static_cast<char>(0x80 - '0'))), _mm_set1_epi8(-128 + 10));
  const __m128i marks = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('_')),
                                                  _mm_cmpeq_epi8(bytes, _mm_set1_epi8('.'))),
                                     _mm_cmpeq_epi8(bytes, _mm_set1_epi8('?')));
  return static_cast<uint32_t>(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(letter, digit), marks)));
}
}  // namespace name_length_detail

inline int name_length(const char* p) {
  using name_length_detail::name_mask;
  const uint32_t mask = name_mask(p) | name_mask(p + 16) << 16;
  return __builtin_ctz(~mask | 0x80000000u);
}
#else
inline int name_length(const char* p) {
  int n = 1;
  while (n < MAX_IDENTIFIER_CHARS) {
    const CharClass c = CHAR_CLASS[static_cast<unsigned char>(p[n])];
    if (c != CHAR_NAME && c != CHAR_DIGIT) break;
    ++n;
  }
  return n;
}
#endif

}  // namespace zorm
