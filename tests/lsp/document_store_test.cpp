#include "lsp/document_store.h"

#include <gtest/gtest.h>

namespace zorm::lsp {
namespace {

TEST(DocumentStore, IncrementalEditsApplyInOrderInTheNegotiatedUnits) {
  DocumentStore store;
  const Snapshot first = store.open("file:///p/a.asm", "/p/a.asm", "zorm-asm", 1, "; é 𝄞 x\n\tnop\n");
  // Replace "x" (UTF-16 column 6: ;, space, é, space, two units of 𝄞, space) by "yy",
  // then insert a line at the start of line 1 of the result.
  const Snapshot second = store.change(
      "/p/a.asm", 2,
      {{ProtocolRange{{0, 7}, {0, 8}}, "yy"}, {ProtocolRange{{1, 0}, {1, 0}}, "lbl:\n"}},
      PositionEncoding::utf16);
  ASSERT_TRUE(second);
  EXPECT_EQ(*second->text, "; é 𝄞 yy\nlbl:\n\tnop\n");
  EXPECT_EQ(second->version, 2);
  EXPECT_EQ(*first->text, "; é 𝄞 x\n\tnop\n") << "an older snapshot never changes";
  EXPECT_TRUE(store.is_current("/p/a.asm", 2));
  EXPECT_FALSE(store.is_current("/p/a.asm", 1));

  const Snapshot utf8 = store.change("/p/a.asm", 3, {{ProtocolRange{{0, 10}, {0, 12}}, "z"}}, PositionEncoding::utf8);
  EXPECT_EQ(*utf8->text, "; é 𝄞 z\nlbl:\n\tnop\n");
  const Snapshot whole = store.change("/p/a.asm", 4, {{std::nullopt, "new"}}, PositionEncoding::utf16);
  EXPECT_EQ(*whole->text, "new");
}

TEST(DocumentStore, RangesOutsideTheTextAreClampedAndUnknownDocumentsRefused) {
  DocumentStore store;
  store.open("file:///p/a.asm", "/p/a.asm", "zorm-asm", 1, "ab\ncd");
  const Snapshot clamped =
      store.change("/p/a.asm", 2, {{ProtocolRange{{1, 1}, {40, 0}}, "!"}, {ProtocolRange{{0, 9}, {0, 1}}, "-"}},
                   PositionEncoding::utf16);
  EXPECT_EQ(*clamped->text, "a-\nc!");
  EXPECT_EQ(store.change("/p/other.asm", 2, {}, PositionEncoding::utf16), nullptr);
  EXPECT_TRUE(store.close("/p/a.asm"));
  EXPECT_FALSE(store.close("/p/a.asm"));
  EXPECT_EQ(store.get("/p/a.asm"), nullptr);
}

}  // namespace
}  // namespace zorm::lsp
