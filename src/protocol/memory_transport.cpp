#include "protocol/memory_transport.h"

#include <algorithm>
#include <cstring>

namespace zorm::protocol {

long MemoryTransport::read_some(char* buffer, size_t size) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return input_closed_ || input_read_ < input_.size(); });
  if (input_read_ == input_.size()) return 0;
  const size_t count = std::min(size, input_.size() - input_read_);
  std::memcpy(buffer, input_.data() + input_read_, count);
  input_read_ += count;
  if (input_read_ == input_.size()) {
    input_.clear();
    input_read_ = 0;
  }
  return static_cast<long>(count);
}

bool MemoryTransport::write_all(std::string_view bytes) {
  {
    std::lock_guard lock(mutex_);
    output_frames_.feed(bytes);
  }
  changed_.notify_all();
  return true;
}

void MemoryTransport::shutdown() { close_input(); }

void MemoryTransport::send_raw(std::string_view bytes) {
  {
    std::lock_guard lock(mutex_);
    if (input_closed_) return;
    input_.append(bytes);
  }
  changed_.notify_all();
}

void MemoryTransport::send(std::string_view body) { send_raw(frame_message(body)); }

void MemoryTransport::close_input() {
  {
    std::lock_guard lock(mutex_);
    input_closed_ = true;
  }
  changed_.notify_all();
}

std::optional<std::string> MemoryTransport::receive(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::unique_lock lock(mutex_);
  for (;;) {
    Frame frame = output_frames_.next();
    if (frame.status == Frame::Status::message) return std::move(frame.body);
    if (frame.status != Frame::Status::end) return std::nullopt;
    if (changed_.wait_until(lock, deadline) == std::cv_status::timeout) {
      frame = output_frames_.next();
      if (frame.status == Frame::Status::message) return std::move(frame.body);
      return std::nullopt;
    }
  }
}

}  // namespace zorm::protocol
