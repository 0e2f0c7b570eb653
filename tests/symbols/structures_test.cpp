#include <gtest/gtest.h>

#include "support/assemble.h"

namespace zorm::test {
namespace {

int32_t value(const Assembled& a, const char* name) {
  const Symbol* s = a.run.assembler->symbols.find(name);
  return s == nullptr ? -999 : s->value;
}

TEST(Structures, MembersGetOffsetsAndTheNameTheSize) {
  auto a = assemble("\tstruct point\n\tdw px\n\tdw py\n\tend struct\n\tstruct rec,10\n\tdb flag\n\tdd big\n\tlabel tag\n"
                    "\tds buf,3\n\tend struct\n",
                    {"-q"});
  ASSERT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(value(*a, "px"), 0);
  EXPECT_EQ(value(*a, "py"), 2);
  EXPECT_EQ(value(*a, "point"), 4);
  EXPECT_EQ(value(*a, "flag"), 10);
  EXPECT_EQ(value(*a, "big"), 11);
  EXPECT_EQ(value(*a, "tag"), 15);
  EXPECT_EQ(value(*a, "buf"), 15);
  EXPECT_EQ(value(*a, "rec"), 18);
  EXPECT_EQ(a->run.assembler->symbols.find("buf")->attributes, 0x43);
  EXPECT_EQ(a->run.assembler->symbols.find("rec")->attributes, 0x40);
  EXPECT_EQ(a->run.assembler->lexer.struct_mode, 0);
}

TEST(Structures, Alignment) {
  auto a = assemble("\tstruct s1,4\n\talign 4\n\tlabel at8\n\tend struct\n"
                    "\tstruct s2,5\n\talign 4\n\tlabel b8\n\talign\n\tlabel b8b\n\tdb one\n\talign\n\tlabel b10\n"
                    "\tds 3\n\tlabel b13\n\tend struct\n",
                    {"-q"});
  ASSERT_EQ(a->run.status, 0) << a->run.out;
  EXPECT_EQ(value(*a, "at8"), 8);
  EXPECT_EQ(value(*a, "b8"), 8);
  EXPECT_EQ(value(*a, "b8b"), 8);
  EXPECT_EQ(value(*a, "b10"), 10);
  EXPECT_EQ(value(*a, "b13"), 13);
}

TEST(Structures, Errors) {
  auto order = assemble("\tstruct st\n\tpx dw\n\tend struct\n", {"-q"});
  EXPECT_EQ(order->run.status, 3);
  EXPECT_NE(order->run.out.find("Syntax error."), std::string::npos);
  auto dup = assemble("\tstruct st\n\tdw px\n\tdw px\n\tend struct\n", {"-q"});
  EXPECT_NE(dup->run.out.find("Redefinition of label."), std::string::npos);
  // Names in a structure body are names, never label references.
  auto reference = assemble("\tstruct st,later\n\tend struct\nlater equ 1\n", {"-q"});
  EXPECT_NE(reference->run.out.find("1:\tstruct st,later<<\n"), std::string::npos);
  auto keyword = assemble("\tstruct st\n\thl\n\tend struct\n", {"-q"});
  EXPECT_NE(keyword->run.out.find("Invalid mnemonic."), std::string::npos);
  auto align = assemble("\tstruct st\n\talign 1\n\tend struct\n", {"-q"});
  EXPECT_NE(align->run.out.find("Value not within allowed range."), std::string::npos);
  auto label = assemble("lbl\tstruct st\n\tend struct\n", {"-q"});
  EXPECT_NE(label->run.out.find("No label allowed."), std::string::npos);
}

TEST(Structures, BodyLinesAreListedWithTheirOffsets) {
  auto a = assemble("\tstruct point\n\tdw px\n\talign\n\tdw py\n\tend struct\n", {"-q", "-l"});
  const std::string listing = a->listing();
  EXPECT_NE(listing.find("0000 =                  \tstruct point\n"
                         "0000 =                  \tdw px\n"
                         "                        \talign\n"
                         "0002 =                  \tdw py\n"
                         "                        \tend struct\n"),
            std::string::npos)
      << listing;
}

}  // namespace
}  // namespace zorm::test
