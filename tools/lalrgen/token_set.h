// A fixed-size set of token codes (look-ahead sets).
#pragma once

#include <bit>
#include <cstdint>
#include <vector>

namespace zorm::lalrgen {

class TokenSet {
public:
    TokenSet() = default;
    explicit TokenSet(int size) : words_(static_cast<std::size_t>((size + 63) / 64), 0) {}

    bool contains(int token) const {
        return (words_[index(token)] >> bit(token)) & 1u;
    }
    // Returns true when the token was not yet in the set.
    bool insert(int token) {
        std::uint64_t& word = words_[index(token)];
        const std::uint64_t mask = std::uint64_t{1} << bit(token);
        if (word & mask) return false;
        word |= mask;
        return true;
    }
    void erase(int token) { words_[index(token)] &= ~(std::uint64_t{1} << bit(token)); }
    // Returns true when the set grew.
    bool merge(const TokenSet& other) {
        bool grew = false;
        for (std::size_t i = 0; i < words_.size(); ++i) {
            const std::uint64_t merged = words_[i] | other.words_[i];
            if (merged != words_[i]) {
                words_[i] = merged;
                grew = true;
            }
        }
        return grew;
    }
    int count() const {
        int n = 0;
        for (std::uint64_t word : words_) n += std::popcount(word);
        return n;
    }
    bool empty() const { return count() == 0; }
    // The members in increasing order.
    std::vector<int> members() const {
        std::vector<int> result;
        for (std::size_t i = 0; i < words_.size(); ++i)
            for (std::uint64_t word = words_[i]; word != 0; word &= word - 1)
                result.push_back(static_cast<int>(i * 64) + std::countr_zero(word));
        return result;
    }

private:
    static std::size_t index(int token) { return static_cast<std::size_t>(token) / 64; }
    static unsigned bit(int token) { return static_cast<unsigned>(token) % 64; }

    std::vector<std::uint64_t> words_;
};

}  // namespace zorm::lalrgen
