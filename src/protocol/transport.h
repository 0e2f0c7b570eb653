#pragma once
// A two-way byte stream between a protocol server and its client: standard
// input and output for a real session, memory for tests. Framing and message
// shapes live above it; a transport only moves bytes.

#include <cstddef>
#include <string_view>

namespace zorm::protocol {

class Transport {
 public:
  virtual ~Transport() = default;
  // Reads up to size bytes, blocking until at least one is there. Returns the
  // count read, 0 at the end of the input (or after shutdown()), -1 on a read
  // error.
  virtual long read_some(char* buffer, size_t size) = 0;
  // Writes every byte; false when the output is gone.
  virtual bool write_all(std::string_view bytes) = 0;
  // Makes a read_some that blocks now, and every later one, return 0, so
  // that a reader thread can be joined. Safe to call from any thread.
  virtual void shutdown() = 0;
};

}  // namespace zorm::protocol
