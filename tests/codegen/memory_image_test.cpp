#include <gtest/gtest.h>

#include "support/assemble.h"

namespace zorm::test {
namespace {

std::string first_error(const Assembled& a) {
  const std::string& out = a.run.out;
  size_t colon = out.find(" : ");
  if (colon == std::string::npos) return "";
  return out.substr(colon + 3, out.find('\n', colon) - colon - 3);
}

TEST(MemoryImage, LocationCounterWrapsAndOverlapsAreFoundInPassOne) {
  auto a = assemble("\tdb 1\n\torg 0xffff\n\tdb 2,3\n", {"-q"});
  EXPECT_EQ(a->run.status, 3);
  EXPECT_EQ(first_error(*a), "Overwriting previously used memory location.");
  auto b = assemble("\torg 0xffff\n\tdb 2,3\n", {"-q"});
  EXPECT_EQ(b->run.status, 0);
  EXPECT_EQ(b->bytes(0, 1), std::vector<uint8_t>{3});
}

TEST(MemoryImage, MemsizeLimits) {
  auto a = assemble("\tmemsize 12\n", {"-q"});
  EXPECT_EQ(a->run.assembler->image.memory_limit, 4096u);
  EXPECT_EQ(assemble("\tmemsize 12\n\tmemsize 16\n", {"-q"})->run.assembler->image.memory_limit, 0u);
  EXPECT_EQ(assemble("\tmemsize 12\n\tmemsize 65536\n", {"-q"})->run.assembler->image.memory_limit, 0u);
  EXPECT_EQ(assemble("\tmemsize 300\n", {"-q"})->run.assembler->image.memory_limit, 300u);
  EXPECT_EQ(first_error(*assemble("\tmemsize 100\n", {"-q"})), "Value not within allowed range.");
  EXPECT_EQ(first_error(*assemble("\tmemsize later\nlater equ 1\n", {"-q"})), "Undefined label.");
  // A statement that starts below the limit and runs past it is accepted;
  // the next one that emits at or above it is not.
  auto c = assemble("\tmemsize 256\n\torg 254\n\tdb 1,2,3\n\tdb 4\n", {"-q"});
  EXPECT_EQ(c->run.status, 3);
  EXPECT_NE(c->run.out.find("4:\tdb 4\n"), std::string::npos) << c->run.out;
  EXPECT_EQ(first_error(*c), "Location counter outside memory space.");
}

TEST(MemoryImage, InvalidOriginKeepsTheLocationCounter) {
  auto a = assemble("\torg 0x100\n\tdb 1,2\n\torg 0x100\nhere equ $\n", {"-q"});
  EXPECT_EQ(first_error(*a), "Invalid origin statement.");
  EXPECT_EQ(a->run.assembler->symbols.find("here")->value, 0x102);
  EXPECT_EQ(first_error(*assemble("\torg 70000\n", {"-q"})), "Value not within allowed range.");
  EXPECT_EQ(first_error(*assemble("\torg fwd\nfwd equ 1\n", {"-q"})), "Undefined label.");
}

TEST(MemoryImage, ALabelOnAnOrgLineNamesTheNewOrigin) {
  auto a = assemble("start\torg 0x100\n\tdw start\n", {"-q"});
  ASSERT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(a->run.assembler->symbols.find("start")->value, 0x100);
  EXPECT_EQ(a->bytes(0x100, 2), (std::vector<uint8_t>{0x00, 0x01}));
}

TEST(MemoryImage, SegmentsKeepTheirOwnCounters) {
  auto a = assemble(
      "\tdata\n\tdb 1,2\n\tcode\n\torg 0x10\n\tdb 3\n\tdata\nd2 equ $\n\tbss\n\tds 4\nb1\n\tcode\nc2 equ $\n", {"-q"});
  ASSERT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(a->run.assembler->symbols.find("d2")->value, 2);
  EXPECT_EQ(a->run.assembler->symbols.find("b1")->value, 4);
  EXPECT_EQ(a->run.assembler->symbols.find("c2")->value, 0x11);
  EXPECT_EQ(a->run.assembler->symbols.find("b1")->attributes, 0x20);
  // bss reserves space without touching the image.
  EXPECT_FALSE(a->run.assembler->image.used(2));
}

TEST(MemoryImage, InstructionsAreRefusedInBss) {
  auto a = assemble("\tbss\nlbl\tnop\n\tset 3,(hl)\nx\tset 5\n", {"-q", "-x"});
  EXPECT_EQ(a->run.status, 3);
  EXPECT_EQ(first_error(*a), "Only data statements can be used in the bss segment.");
  EXPECT_NE(a->run.out.find("3:\tset 3,(hl)\n"), std::string::npos) << a->run.out;
  EXPECT_EQ(a->run.assembler->symbols.find("lbl")->value, 0);
  EXPECT_EQ(a->run.assembler->symbols.find("x")->value, 5);
}

TEST(MemoryImage, FillByteShowsInUnusedBytes) {
  auto a = assemble("", {"-q"});
  EXPECT_EQ(a->run.assembler->image.image_read(0x1234), 0xFF);
  auto z = assemble("", {"-q", "-z"});
  EXPECT_EQ(z->run.assembler->image.image_read(0x1234), 0x00);
}

// The writers and the memory map find used bytes through next_used, which
// skips unused stretches a word of marks at a time.
TEST(MemoryImage, NextUsedFindsStoresAcrossWordsAndStopsAtTheLimit) {
  TextStream out, err;
  Assembler as(out, err);
  ASSERT_TRUE(as.image.image_create(0xFF));
  EXPECT_EQ(as.image.next_used(0, IMAGE_SIZE), IMAGE_SIZE);
  for (uint32_t address : {0x3Fu, 0x40u, 0x1000u, 0xFFFFu}) as.image.image_store(address, 0x12);
  EXPECT_EQ(as.image.next_used(0, IMAGE_SIZE), 0x3Fu);
  EXPECT_EQ(as.image.next_used(0x40, IMAGE_SIZE), 0x40u);
  EXPECT_EQ(as.image.next_used(0x41, IMAGE_SIZE), 0x1000u);
  EXPECT_EQ(as.image.next_used(0x41, 0x1000), 0x1000u);  // the limit itself is not looked at
  EXPECT_EQ(as.image.next_used(0x1001, IMAGE_SIZE), 0xFFFFu);
  EXPECT_EQ(as.image.next_used(0x1001, 0x2000), 0x2000u);
  EXPECT_EQ(as.image.next_used(IMAGE_SIZE, IMAGE_SIZE), IMAGE_SIZE);
  EXPECT_EQ(as.image.image_read(0x40), 0x12 | USED_MARK);
  EXPECT_EQ(as.image.image_read(0x41), 0xFF);
}

// An org at both ends of memory: the binary spans all of it, the records and
// the map show only what was stored.
TEST(MemoryImage, StoresAtBothEndsReachEveryOutput) {
  const std::string source = "\tdb 1\n\torg 0xffff\n\tdb 2\n";
  auto binary = assemble(source, {"-q"});
  ASSERT_EQ(binary->run.status, 0) << binary->run.out;
  const std::string bytes = binary->dir.read("t.bin");
  ASSERT_EQ(bytes.size(), 0x10000u);
  EXPECT_EQ(bytes.front(), 1);
  EXPECT_EQ(bytes.back(), 2);
  EXPECT_EQ(bytes[1], '\xFF');
  auto hex = assemble(source, {"-q", "-s2", "-u"});
  ASSERT_EQ(hex->run.status, 0) << hex->run.out;
  EXPECT_EQ(hex->dir.read("t.hex"), ":0100000001FE\n:01FFFF0002FF\n:00000001FF\n");
  const std::string listing = hex->listing();
  EXPECT_NE(listing.find("0000 : x--------------- ---------------- ---------------- ----------------"),
            std::string::npos)
      << listing;
  EXPECT_NE(listing.find("ffc0 : ---------------- ---------------- ---------------- ---------------x"),
            std::string::npos)
      << listing;
}

}  // namespace
}  // namespace zorm::test

namespace zorm::test {
namespace {

TEST(MemoryImage, LastUsedAddressBelowALimit) {
  const int pass = 0;
  MemoryImage image(pass);
  ASSERT_TRUE(image.image_create(0xFF));
  EXPECT_EQ(image.last_used(IMAGE_SIZE), IMAGE_SIZE);  // nothing used
  for (uint32_t address : {0u, 63u, 64u, 130u, 0xFFFFu}) image.image_store(address, 1);
  EXPECT_EQ(image.last_used(IMAGE_SIZE), 0xFFFFu);
  EXPECT_EQ(image.last_used(0xFFFF), 130u);
  EXPECT_EQ(image.last_used(131), 130u);
  EXPECT_EQ(image.last_used(130), 64u);
  EXPECT_EQ(image.last_used(64), 63u);
  EXPECT_EQ(image.last_used(1), 0u);
  EXPECT_EQ(image.last_used(0), 0u);  // the limit itself: none below it
  EXPECT_EQ(image.bytes_between(63, 65), std::string("\x01\x01\xFF", 3));
}

}  // namespace
}  // namespace zorm::test
