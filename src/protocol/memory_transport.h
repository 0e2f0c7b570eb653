#pragma once
// A transport held in memory, for tests: the test plays the client on the
// other end, sending framed messages in and reading framed messages out.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>

#include "protocol/framing.h"
#include "protocol/transport.h"

namespace zorm::protocol {

class MemoryTransport : public Transport {
 public:
  // The server's side.
  long read_some(char* buffer, size_t size) override;
  bool write_all(std::string_view bytes) override;
  void shutdown() override;

  // The client's side. send_raw() passes bytes as they are (to test
  // framing); send() frames one message body.
  void send_raw(std::string_view bytes);
  void send(std::string_view body);
  // Ends the server's input: its reads then return 0.
  void close_input();
  // The next message body the server wrote, waiting up to timeout for it;
  // nothing when none came in time.
  std::optional<std::string> receive(std::chrono::milliseconds timeout);

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string input_;
  size_t input_read_ = 0;
  bool input_closed_ = false;
  FrameParser output_frames_;
};

}  // namespace zorm::protocol
