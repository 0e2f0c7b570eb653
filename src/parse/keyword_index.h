#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace zorm {

// An exact-match index over a fixed list of lower-case words of at most
// eight characters: the lookup the lexer and the statement processor make for
// every word when names are compared byte for byte. A word is packed into a
// 64-bit number, so a probe is one multiplication and one comparison. The
// compiler builds the index.
template <int SLOTS>
class KeywordIndex {
 public:
  static constexpr size_t MAX_WORD = 8;

  constexpr KeywordIndex(const char* const* words, int count) : slot_(), key_() {
    for (int i = 0; i < SLOTS; ++i) slot_[i] = -1;
    for (int i = 0; i < count; ++i) {
      size_t length = 0;
      while (words[i][length] != '\0') ++length;
      const uint64_t key = pack(words[i], length);
      uint32_t h = hash(key);
      while (slot_[h] >= 0) h = (h + 1) & (SLOTS - 1);
      slot_[h] = static_cast<int16_t>(i);
      key_[h] = key;
    }
  }

  // The word's index in the list, or -1.
  constexpr int find(const char* text, size_t length) const {
    if (length == 0 || length > MAX_WORD) return -1;
    return probe(pack(text, length));
  }
  // The same for a word followed by enough readable bytes to make eight:
  // they are read and masked off.
  int find_padded(const char* text, size_t length) const {
    if (length == 0 || length > MAX_WORD) return -1;
    uint64_t word;
    std::memcpy(&word, text, 8);
    if constexpr (std::endian::native == std::endian::little) return probe(word & (~0ull >> (8 * (MAX_WORD - length))));
    return probe(pack(text, length));
  }

 private:
  constexpr int probe(uint64_t key) const {
    for (uint32_t h = hash(key);; h = (h + 1) & (SLOTS - 1)) {
      const int i = slot_[h];
      if (i < 0) return -1;
      if (key_[h] == key) return i;
    }
  }
  // The first character in the low byte, the rest zero; no word holds a NUL,
  // so words of different lengths never pack alike.
  static constexpr uint64_t pack(const char* text, size_t length) {
    const size_t n = length < MAX_WORD ? length : MAX_WORD;
    uint64_t key = 0;
    if (!std::is_constant_evaluated() && std::endian::native == std::endian::little) {
      std::memcpy(&key, text, n);
    } else {
      for (size_t i = 0; i < n; ++i) key |= uint64_t{static_cast<uint8_t>(text[i])} << (8 * i);
    }
    return key;
  }
  static constexpr uint32_t hash(uint64_t key) {
    return static_cast<uint32_t>((key * 0x9E3779B97F4A7C15ull) >> 40) & (SLOTS - 1);
  }

  int16_t slot_[SLOTS];
  uint64_t key_[SLOTS];
};

}  // namespace zorm
