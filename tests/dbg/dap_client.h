#pragma once
// A small Debug Adapter Protocol client for the tests: it sends requests and
// waits for their responses and for events, keeping every message in the
// order it came, so that a test can also check what came before what. Two
// ends: the built zorm-dbg --dap over pipes (with the client's own
// Content-Length framing), and an adapter in the same process over a memory
// transport.

#include <gtest/gtest.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "dbg/child_process.h"
#include "protocol/memory_transport.h"

namespace zorm::test {

using nlohmann::json;

class DapClient {
 public:
  static constexpr std::chrono::milliseconds WAIT{5000};

  virtual ~DapClient() = default;

  int request(const std::string& command, json arguments = json::object()) {
    const int seq = next_seq_++;
    write_body(json{{"seq", seq}, {"type", "request"}, {"command", command}, {"arguments", std::move(arguments)}}.dump());
    return seq;
  }
  // The response to a request, waiting for it.
  json response(int seq) {
    return take([seq](const json& m) { return m.value("type", "") == "response" && m.value("request_seq", -1) == seq; },
                "the response to request " + std::to_string(seq));
  }
  // Sends a request and returns its response, which must be a success.
  json call(const std::string& command, json arguments = json::object()) {
    json answer = response(request(command, std::move(arguments)));
    EXPECT_TRUE(answer.value("success", false)) << command << ": " << answer.dump();
    return answer.contains("body") ? answer["body"] : json::object();
  }
  // The next event of this name not taken yet, waiting for it.
  json event(const std::string& name) {
    return take([&name](const json& m) { return m.value("type", "") == "event" && m.value("event", "") == name; },
                "the event " + name);
  }
  // Every message received so far, in order.
  const std::vector<json>& messages() const { return messages_; }
  // Where a taken message stands in messages().
  size_t position_of(const json& message) const {
    for (size_t i = 0; i < messages_.size(); ++i) {
      if (messages_[i] == message) return i;
    }
    return messages_.size();
  }
  // The program's output so far (output events of category stdout).
  std::string program_output() const {
    std::string text;
    for (const json& m : messages_) {
      if (m.value("event", "") == "output" && m["body"].value("category", "") == "stdout") {
        text += m["body"].value("output", "");
      }
    }
    return text;
  }

 protected:
  virtual void write_body(const std::string& body) = 0;
  virtual std::optional<std::string> read_body(std::chrono::milliseconds timeout) = 0;

 private:
  template <typename Match>
  json take(Match match, const std::string& what) {
    for (size_t i = 0;; ++i) {
      if (i == messages_.size()) {
        const std::optional<std::string> body = read_body(WAIT);
        if (!body) throw std::runtime_error("no " + what + " came");
        messages_.push_back(json::parse(*body));
      }
      if (taken_.size() < messages_.size()) taken_.resize(messages_.size(), false);
      if (!taken_[i] && match(messages_[i])) {
        taken_[i] = true;
        return messages_[i];
      }
    }
  }

  int next_seq_ = 1;
  std::vector<json> messages_;
  std::vector<bool> taken_;
};

// zorm-dbg --dap as its own process.
class ProcessDapClient : public DapClient {
 public:
  explicit ProcessDapClient(const std::string& folder) : child_({ZORM_DBG_PROGRAM, "--dap"}, folder) {}
  void write_raw(const std::string& bytes) { child_.write(bytes); }
  int finish(std::string& out, std::string& err) { return child_.finish(out, err); }

 protected:
  void write_body(const std::string& body) override {
    child_.write("Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
  }
  std::optional<std::string> read_body(std::chrono::milliseconds timeout) override {
    for (;;) {
      const size_t header_end = pending_.find("\r\n\r\n");
      if (header_end != std::string::npos) {
        const size_t field = pending_.find("Content-Length: ");
        if (field == std::string::npos || field > header_end) throw std::runtime_error("a header without a length");
        const size_t length = std::stoul(pending_.substr(field + 16));
        if (pending_.size() >= header_end + 4 + length) {
          std::string body = pending_.substr(header_end + 4, length);
          pending_.erase(0, header_end + 4 + length);
          return body;
        }
      }
      const std::string more = child_.read_output(timeout);
      if (more.empty()) return std::nullopt;
      pending_ += more;
    }
  }

 private:
  ChildProcess child_;
  std::string pending_;
};

// The adapter in this process: the test holds the transport's client end.
class MemoryDapClient : public DapClient {
 public:
  explicit MemoryDapClient(protocol::MemoryTransport& transport) : transport_(transport) {}

 protected:
  void write_body(const std::string& body) override { transport_.send(body); }
  std::optional<std::string> read_body(std::chrono::milliseconds timeout) override {
    return transport_.receive(timeout);
  }

 private:
  protocol::MemoryTransport& transport_;
};

}  // namespace zorm::test
