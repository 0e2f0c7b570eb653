#include "protocol/framing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorm::protocol {
namespace {

using Status = Frame::Status;

// Every frame the parser gives for the input fed in pieces of the given size.
std::vector<Frame> frames_of(const std::string& input, size_t piece, size_t max_body = DEFAULT_MAX_BODY) {
  FrameParser parser(max_body);
  std::vector<Frame> frames;
  for (size_t at = 0; at < input.size(); at += piece) {
    parser.feed(std::string_view(input).substr(at, piece));
    for (Frame frame = parser.next(); frame.status != Status::end; frame = parser.next()) {
      frames.push_back(std::move(frame));
    }
  }
  return frames;
}

TEST(Framing, MessagesComeOutWhateverPiecesTheBytesArriveIn) {
  const std::string input = frame_message("{\"a\":1}") + frame_message("") + frame_message("{\"b\":\"\xc3\xa9\"}");
  for (size_t piece : {size_t{1}, size_t{3}, size_t{17}, input.size()}) {
    const std::vector<Frame> frames = frames_of(input, piece);
    ASSERT_EQ(frames.size(), 3u) << "piece " << piece;
    EXPECT_EQ(frames[0].body, "{\"a\":1}");
    EXPECT_EQ(frames[1].body, "");
    EXPECT_EQ(frames[2].body, "{\"b\":\"\xc3\xa9\"}");
    for (const Frame& frame : frames) EXPECT_EQ(frame.status, Status::message);
  }
}

TEST(Framing, HeaderNamesIgnoreCaseOtherHeadersAndBareLineFeedsAreAccepted) {
  const std::vector<Frame> frames = frames_of(
      "content-length: 2\r\nContent-Type: application/vscode-jsonrpc; charset=utf-8\r\n\r\n{}"
      "CONTENT-LENGTH:3\n\n[1]",
      5);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].body, "{}");
  EXPECT_EQ(frames[1].body, "[1]");
}

TEST(Framing, ABadHeaderIsRefusedAndTheNextMessageStillArrives) {
  const std::vector<Frame> frames = frames_of(
      "Content-Type: text/plain\r\n\r\n{}"      // no length
      "Content-Length: twelve\r\n\r\nnonsense"  // not a number
      "Content-Length: -4\r\n\r\n"              // negative
      "Content-Length: 2\r\ngarbage without colon\r\n\r\n{}" +
          frame_message("{\"ok\":true}"),
      7);
  ASSERT_EQ(frames.size(), 5u);
  EXPECT_EQ(frames[0].status, Status::bad_header);
  EXPECT_EQ(frames[0].error, "no Content-Length header");
  EXPECT_EQ(frames[1].status, Status::bad_header);
  EXPECT_EQ(frames[1].error, "Content-Length is not a number");
  EXPECT_EQ(frames[2].status, Status::bad_header);
  EXPECT_EQ(frames[3].status, Status::bad_header);
  EXPECT_EQ(frames[4].status, Status::message);
  EXPECT_EQ(frames[4].body, "{\"ok\":true}");
}

TEST(Framing, AnAbsurdLengthIsRefusedWithoutWaitingForItsBody) {
  // The body announced is far beyond the limit; what follows is skipped up to
  // the next header block.
  const std::string huge = "Content-Length: 99999999999999999\r\n\r\n" + std::string(5000, 'x') + "\r\n";
  const std::vector<Frame> frames = frames_of(huge + frame_message("{}"), 1000, 1024);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].status, Status::too_large);
  EXPECT_EQ(frames[1].body, "{}");

  const std::vector<Frame> over_limit = frames_of("Content-Length: 1025\r\n\r\n", 64, 1024);
  ASSERT_EQ(over_limit.size(), 1u);
  EXPECT_EQ(over_limit[0].status, Status::too_large);
  EXPECT_EQ(over_limit[0].error, "Content-Length 1025 is above the limit of 1024 bytes");
  EXPECT_EQ(frames_of(frame_message(std::string(1024, ' ')), 100, 1024).size(), 1u);
}

TEST(Framing, AnEndlessHeaderBlockIsRefused) {
  const std::vector<Frame> frames = frames_of(std::string(MAX_HEADER_BLOCK + 10, 'h'), 512);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].status, Status::bad_header);
  EXPECT_EQ(frames[0].error, "header block too long");
}

TEST(Framing, AnIncompleteMessageWaitsForMoreBytes) {
  FrameParser parser;
  parser.feed("Content-Length: 10\r\n\r\n12345");
  EXPECT_EQ(parser.next().status, Status::end);
  parser.feed("67890");
  const Frame frame = parser.next();
  EXPECT_EQ(frame.status, Status::message);
  EXPECT_EQ(frame.body, "1234567890");
}

}  // namespace
}  // namespace zorm::protocol
