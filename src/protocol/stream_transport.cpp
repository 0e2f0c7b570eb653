#include "protocol/stream_transport.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace zorm::protocol {

StreamTransport::StreamTransport(int input, int output) : input_(input), output_(output) {
  if (::pipe(wake_) != 0) wake_[0] = wake_[1] = -1;
}

StreamTransport::~StreamTransport() {
  if (wake_[0] >= 0) ::close(wake_[0]);
  if (wake_[1] >= 0) ::close(wake_[1]);
}

long StreamTransport::read_some(char* buffer, size_t size) {
  for (;;) {
    if (shut_.load()) return 0;
    pollfd watched[2] = {{input_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    const int count = wake_[0] >= 0 ? 2 : 1;
    const int ready = ::poll(watched, count, -1);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (count == 2 && watched[1].revents != 0) return 0;
    if (watched[0].revents == 0) continue;
    const ssize_t got = ::read(input_, buffer, size);
    if (got >= 0) return static_cast<long>(got);
    if (errno == EINTR || errno == EAGAIN) continue;
    return -1;
  }
}

bool StreamTransport::write_all(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(output_, bytes.data(), bytes.size());
    if (put < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(put));
  }
  return true;
}

void StreamTransport::shutdown() {
  if (shut_.exchange(true)) return;
  if (wake_[1] >= 0) {
    const char byte = 0;
    while (::write(wake_[1], &byte, 1) < 0 && errno == EINTR) {
    }
  }
}

}  // namespace zorm::protocol
