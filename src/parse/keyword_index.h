#pragma once

#include <cstdint>
#include <cstring>

namespace zorm {

// An exact-match index over a fixed list of lower-case words: the lookup the
// lexer and the statement processor make for every word when names are
// compared byte for byte. Open addressing over a power-of-two table.
template <int SLOTS>
class KeywordIndex {
 public:
  KeywordIndex(const char* const* words, int count) {
    for (int i = 0; i < SLOTS; ++i) slot_[i] = -1;
    for (int i = 0; i < count; ++i) {
      const size_t length = std::strlen(words[i]);
      uint32_t h = hash(words[i], length);
      while (slot_[h] >= 0) h = (h + 1) & (SLOTS - 1);
      slot_[h] = static_cast<int16_t>(i);
    }
    words_ = words;
  }

  // The word's index in the list, or -1.
  int find(const char* text, size_t length) const {
    uint32_t h = hash(text, length);
    for (;;) {
      const int i = slot_[h];
      if (i < 0) return -1;
      const char* word = words_[i];
      if (std::strncmp(word, text, length) == 0 && word[length] == '\0') return i;
      h = (h + 1) & (SLOTS - 1);
    }
  }

 private:
  static uint32_t hash(const char* text, size_t length) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < length; ++i) h = (h ^ static_cast<unsigned char>(text[i])) * 16777619u;
    return h & (SLOTS - 1);
  }

  int16_t slot_[SLOTS];
  const char* const* words_ = nullptr;
};

}  // namespace zorm
