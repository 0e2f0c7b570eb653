#pragma once
// One protocol connection over a transport: a reader thread that cuts the
// input into frames, parses each as JSON and queues it, and exactly one
// writer thread that frames and writes what any thread sends. The message
// shapes (JSON-RPC for the language server, the debug adapter's
// seq/type/command) are left to the layer above.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>

#include "protocol/blocking_queue.h"
#include "protocol/framing.h"
#include "protocol/transport.h"

namespace zorm::protocol {

struct Incoming {
  enum class Kind {
    message,        // value holds the parsed JSON
    malformed,      // the body is not JSON; error says why
    framing_error,  // a refused header (see Frame); error says why
    end,            // the input ended; every later next() says so too
  };
  Kind kind = Kind::end;
  nlohmann::json value;
  std::string error;
};

// Text of a JSON value as the writer sends it: compact, with any invalid
// UTF-8 in strings replaced rather than refused.
std::string serialize(const nlohmann::json& value);

class Connection {
 public:
  explicit Connection(Transport& transport, size_t max_body = DEFAULT_MAX_BODY);
  // Stops reading, writes what was sent, and joins both threads.
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // The next incoming item, waiting for it.
  Incoming next();
  // Queues a message for the writer thread; callable from any thread.
  void send(const nlohmann::json& message);
  // Waits until every message sent so far has been written.
  void flush();
  // Stops the reader (the input is shut down) and, after writing everything
  // sent before, the writer. Idempotent.
  void close();

 private:
  void read_loop(size_t max_body);
  void write_loop();

  Transport& transport_;
  BlockingQueue<Incoming> incoming_;
  BlockingQueue<std::string> outgoing_;
  std::mutex written_mutex_;
  std::condition_variable written_changed_;
  uint64_t sent_count_ = 0;
  uint64_t written_count_ = 0;
  bool closed_ = false;
  std::thread reader_;
  std::thread writer_;
};

}  // namespace zorm::protocol
