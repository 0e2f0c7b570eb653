#pragma once
// Content-Length framing, shared by the language server and the debug
// adapter: each message is a header block ("Content-Length: N", optionally
// other headers, each line ended by CR LF) and an empty line, then N bytes of
// body.

#include <cstddef>
#include <string>
#include <string_view>

#include "protocol/transport.h"

namespace zorm::protocol {

// The largest body accepted by default. Larger announced lengths are refused
// without reading the body into memory.
inline constexpr size_t DEFAULT_MAX_BODY = 64u << 20;
// A header block longer than this is refused.
inline constexpr size_t MAX_HEADER_BLOCK = 8192;

struct Frame {
  enum class Status {
    message,     // body holds one message
    end,         // the input ended (possibly inside a message)
    bad_header,  // no usable Content-Length; error says why
    too_large,   // Content-Length above the limit; error says why
  };
  Status status = Status::end;
  std::string body;
  std::string error;
};

// Cuts frames out of bytes fed in pieces of any size. After a refused header
// it skips input up to the next Content-Length header, so one bad message
// does not end the session.
class FrameParser {
 public:
  explicit FrameParser(size_t max_body = DEFAULT_MAX_BODY) : max_body_(max_body) {}
  void feed(std::string_view bytes);
  // The next complete frame, or a refusal; Status::end when more bytes are
  // needed first.
  Frame next();

 private:
  enum class State { headers, body, resync };
  bool parse_header_line(std::string_view line, Frame& refusal);
  Frame refuse(Frame::Status status, std::string error);
  bool skip_to_next_header();
  void compact();

  size_t max_body_;
  std::string buffer_;
  size_t position_ = 0;
  State state_ = State::headers;
  size_t header_start_ = 0;
  bool have_length_ = false;
  size_t body_length_ = 0;
};

// Reads frames from a transport.
class FrameReader {
 public:
  explicit FrameReader(Transport& transport, size_t max_body = DEFAULT_MAX_BODY)
      : transport_(transport), parser_(max_body) {}
  // Blocks until a frame, a refusal or the end of the input.
  Frame next();

 private:
  Transport& transport_;
  FrameParser parser_;
  bool ended_ = false;
};

// The bytes of one framed message.
std::string frame_message(std::string_view body);

}  // namespace zorm::protocol
