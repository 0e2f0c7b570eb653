#pragma once
// A transport over two file descriptors, normally standard input and output.

#include <atomic>

#include "protocol/transport.h"

namespace zorm::protocol {

class StreamTransport : public Transport {
 public:
  // The descriptors are not owned and not closed.
  StreamTransport(int input, int output);
  ~StreamTransport() override;
  StreamTransport(const StreamTransport&) = delete;
  StreamTransport& operator=(const StreamTransport&) = delete;

  long read_some(char* buffer, size_t size) override;
  bool write_all(std::string_view bytes) override;
  void shutdown() override;

 private:
  int input_;
  int output_;
  // A pipe whose read end is watched beside the input: shutdown() writes to
  // it to wake a blocked read.
  int wake_[2] = {-1, -1};
  std::atomic<bool> shut_{false};
};

}  // namespace zorm::protocol
