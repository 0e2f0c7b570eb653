#include "protocol/connection.h"

namespace zorm::protocol {

std::string serialize(const nlohmann::json& value) {
  return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

Connection::Connection(Transport& transport, size_t max_body) : transport_(transport) {
  reader_ = std::thread([this, max_body] { read_loop(max_body); });
  writer_ = std::thread([this] { write_loop(); });
}

Connection::~Connection() { close(); }

void Connection::read_loop(size_t max_body) {
  FrameReader frames(transport_, max_body);
  for (;;) {
    Frame frame = frames.next();
    Incoming item;
    switch (frame.status) {
      case Frame::Status::end:
        incoming_.push(Incoming{});
        incoming_.close();
        return;
      case Frame::Status::bad_header:
      case Frame::Status::too_large:
        item.kind = Incoming::Kind::framing_error;
        item.error = std::move(frame.error);
        break;
      case Frame::Status::message:
        try {
          item.value = nlohmann::json::parse(frame.body);
          item.kind = Incoming::Kind::message;
        } catch (const nlohmann::json::exception& failure) {
          item.kind = Incoming::Kind::malformed;
          item.error = failure.what();
        }
        break;
    }
    if (!incoming_.push(std::move(item))) return;
  }
}

void Connection::write_loop() {
  bool output_open = true;
  while (std::optional<std::string> body = outgoing_.pop()) {
    if (output_open) output_open = transport_.write_all(frame_message(*body));
    {
      std::lock_guard lock(written_mutex_);
      ++written_count_;
    }
    written_changed_.notify_all();
  }
}

Incoming Connection::next() {
  std::optional<Incoming> item = incoming_.pop();
  return item ? std::move(*item) : Incoming{};
}

void Connection::send(const nlohmann::json& message) {
  std::string body = serialize(message);
  std::lock_guard lock(written_mutex_);
  if (outgoing_.push(std::move(body))) ++sent_count_;
}

void Connection::flush() {
  std::unique_lock lock(written_mutex_);
  written_changed_.wait(lock, [&] { return written_count_ >= sent_count_; });
}

void Connection::close() {
  {
    std::lock_guard lock(written_mutex_);
    if (closed_) return;
    closed_ = true;
  }
  transport_.shutdown();
  incoming_.close();
  if (reader_.joinable()) reader_.join();
  outgoing_.close();
  if (writer_.joinable()) writer_.join();
}

}  // namespace zorm::protocol
