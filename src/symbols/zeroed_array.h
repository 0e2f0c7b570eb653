#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>
#include <type_traits>

namespace zorm {

// A fixed number of zeroed entries of a trivial type, for hash indexes that
// grow by doubling: calloc takes large blocks from the system already zeroed,
// where zeroing them entry by entry would cost as much as filling them.
template <typename T>
class ZeroedArray {
  static_assert(std::is_trivial_v<T>);

 public:
  ZeroedArray() = default;
  explicit ZeroedArray(size_t size) : data_(static_cast<T*>(std::calloc(size, sizeof(T)))), size_(size) {
    if (data_ == nullptr && size != 0) throw std::bad_alloc();
  }
  ~ZeroedArray() { std::free(data_); }
  ZeroedArray(ZeroedArray&& other) noexcept : data_(other.data_), size_(other.size_) {
    other.data_ = nullptr;
    other.size_ = 0;
  }
  ZeroedArray& operator=(ZeroedArray&& other) noexcept {
    if (this != &other) {
      std::free(data_);
      data_ = other.data_;
      size_ = other.size_;
      other.data_ = nullptr;
      other.size_ = 0;
    }
    return *this;
  }
  ZeroedArray(const ZeroedArray&) = delete;
  ZeroedArray& operator=(const ZeroedArray&) = delete;

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T& operator[](size_t i) { return data_[i]; }
  const T& operator[](size_t i) const { return data_[i]; }
  T* begin() { return data_; }
  T* end() { return data_ + size_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }

 private:
  T* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace zorm
