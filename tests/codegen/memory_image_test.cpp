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

}  // namespace
}  // namespace zorm::test
