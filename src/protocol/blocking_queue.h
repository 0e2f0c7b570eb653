#pragma once
// A first-in first-out queue between threads: any number of producers, one
// or more consumers that wait for items.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

namespace zorm::protocol {

template <typename Item>
class BlockingQueue {
 public:
  // False once the queue is closed: the item is dropped.
  bool push(Item item) {
    {
      std::lock_guard lock(mutex_);
      if (closed_) return false;
      items_.push_back(std::move(item));
    }
    changed_.notify_all();
    return true;
  }

  // The oldest item; nothing once the queue is closed and empty.
  std::optional<Item> pop() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return closed_ || !items_.empty(); });
    if (items_.empty()) return std::nullopt;
    Item item = std::move(items_.front());
    items_.pop_front();
    changed_.notify_all();
    return item;
  }

  // Items already queued can still be popped; pushes are refused.
  void close() {
    {
      std::lock_guard lock(mutex_);
      closed_ = true;
    }
    changed_.notify_all();
  }

  bool empty() const {
    std::lock_guard lock(mutex_);
    return items_.empty();
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Item> items_;
  bool closed_ = false;
};

}  // namespace zorm::protocol
