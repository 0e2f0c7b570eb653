#pragma once

#include <cstdint>
#include <cstring>

namespace zorm {

// An exact-match index over a fixed list of lower-case words of at most
// eight characters: the lookup the lexer and the statement processor make for
// every word when names are compared byte for byte. A word is packed into a
// 64-bit number, so a probe is one multiplication and one comparison.
template <int SLOTS>
class KeywordIndex {
 public:
  static constexpr size_t MAX_WORD = 8;

  KeywordIndex(const char* const* words, int count) {
    for (int i = 0; i < SLOTS; ++i) slot_[i] = -1;
    for (int i = 0; i < count; ++i) {
      const uint64_t key = pack(words[i], std::strlen(words[i]));
      uint32_t h = hash(key);
      while (slot_[h] >= 0) h = (h + 1) & (SLOTS - 1);
      slot_[h] = static_cast<int16_t>(i);
      key_[h] = key;
    }
  }

  // The word's index in the list, or -1.
  int find(const char* text, size_t length) const {
    if (length == 0 || length > MAX_WORD) return -1;
    const uint64_t key = pack(text, length);
    for (uint32_t h = hash(key);; h = (h + 1) & (SLOTS - 1)) {
      const int i = slot_[h];
      if (i < 0) return -1;
      if (key_[h] == key) return i;
    }
  }

 private:
  // The characters in the low bytes, the rest zero; no word holds a NUL, so
  // words of different lengths never pack alike.
  static uint64_t pack(const char* text, size_t length) {
    uint64_t key = 0;
    std::memcpy(&key, text, length < MAX_WORD ? length : MAX_WORD);
    return key;
  }
  static uint32_t hash(uint64_t key) {
    return static_cast<uint32_t>((key * 0x9E3779B97F4A7C15ull) >> 40) & (SLOTS - 1);
  }

  int16_t slot_[SLOTS];
  uint64_t key_[SLOTS] = {};
};

}  // namespace zorm
