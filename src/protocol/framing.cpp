#include "protocol/framing.h"

#include <algorithm>
#include <cctype>

namespace zorm::protocol {

namespace {

constexpr std::string_view LENGTH_HEADER = "content-length";

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

}  // namespace

void FrameParser::feed(std::string_view bytes) { buffer_.append(bytes); }

void FrameParser::compact() {
  if (position_ > 65536 && position_ * 2 > buffer_.size()) {
    buffer_.erase(0, position_);
    header_start_ -= std::min(header_start_, position_);
    position_ = 0;
  }
}

Frame FrameParser::refuse(Frame::Status status, std::string error) {
  state_ = State::resync;
  have_length_ = false;
  Frame frame;
  frame.status = status;
  frame.error = std::move(error);
  return frame;
}

// Returns true when the next Content-Length header is at position_. A
// refused message's body cannot be measured, so the next header is searched
// for in whatever follows.
bool FrameParser::skip_to_next_header() {
  const std::string_view rest(buffer_.data() + position_, buffer_.size() - position_);
  for (size_t at = 0; at + LENGTH_HEADER.size() <= rest.size(); ++at) {
    if (starts_with_ignoring_case(rest.substr(at), LENGTH_HEADER)) {
      position_ += at;
      return true;
    }
  }
  // Keep the tail that could be the start of the header.
  if (rest.size() >= LENGTH_HEADER.size()) position_ = buffer_.size() - (LENGTH_HEADER.size() - 1);
  compact();
  return false;
}

bool FrameParser::parse_header_line(std::string_view line, Frame& refusal) {
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) {
    refusal = refuse(Frame::Status::bad_header, "header line without a colon");
    return false;
  }
  const std::string_view name = trim(line.substr(0, colon));
  const std::string_view value = trim(line.substr(colon + 1));
  if (name.size() != LENGTH_HEADER.size() || !starts_with_ignoring_case(name, LENGTH_HEADER)) return true;
  if (value.empty() || value.size() > 19 ||
      !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    refusal = refuse(Frame::Status::bad_header, "Content-Length is not a number");
    return false;
  }
  const unsigned long long length = std::stoull(std::string(value));
  if (length > max_body_) {
    refusal = refuse(Frame::Status::too_large, "Content-Length " + std::string(value) + " is above the limit of " +
                                                   std::to_string(max_body_) + " bytes");
    return false;
  }
  have_length_ = true;
  body_length_ = static_cast<size_t>(length);
  return true;
}

Frame FrameParser::next() {
  for (;;) {
    switch (state_) {
      case State::resync:
        if (!skip_to_next_header()) return {};
        state_ = State::headers;
        header_start_ = position_;
        break;
      case State::headers: {
        const size_t newline = buffer_.find('\n', position_);
        if (newline == std::string::npos) {
          if (buffer_.size() - header_start_ > MAX_HEADER_BLOCK) {
            return refuse(Frame::Status::bad_header, "header block too long");
          }
          return {};
        }
        const std::string_view line = trim(std::string_view(buffer_).substr(position_, newline - position_));
        position_ = newline + 1;
        if (position_ - header_start_ > MAX_HEADER_BLOCK) {
          return refuse(Frame::Status::bad_header, "header block too long");
        }
        if (line.empty()) {
          if (position_ - header_start_ <= 2) {  // blank lines between messages
            header_start_ = position_;
            break;
          }
          if (!have_length_) return refuse(Frame::Status::bad_header, "no Content-Length header");
          state_ = State::body;
          break;
        }
        Frame refusal;
        if (!parse_header_line(line, refusal)) return refusal;
        break;
      }
      case State::body: {
        if (buffer_.size() - position_ < body_length_) return {};
        Frame frame;
        frame.status = Frame::Status::message;
        frame.body = buffer_.substr(position_, body_length_);
        position_ += body_length_;
        state_ = State::headers;
        header_start_ = position_;
        have_length_ = false;
        compact();
        return frame;
      }
    }
  }
}

Frame FrameReader::next() {
  char chunk[65536];
  for (;;) {
    Frame frame = parser_.next();
    if (frame.status != Frame::Status::end || ended_) return frame;
    const long got = transport_.read_some(chunk, sizeof chunk);
    if (got <= 0) {
      ended_ = true;
      return {};
    }
    parser_.feed(std::string_view(chunk, static_cast<size_t>(got)));
  }
}

std::string frame_message(std::string_view body) {
  std::string framed = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  framed.append(body);
  return framed;
}

}  // namespace zorm::protocol
