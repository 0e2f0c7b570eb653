#include <gtest/gtest.h>

#include "support/assemble.h"

namespace zorm::test {
namespace {

struct Item {
  ValueKind kind;
  int32_t value;
  std::string text;
  bool operator==(const Item&) const = default;
};

Item item(const Value& v) { return {v.kind, v.value, v.text}; }

// Swapping the top two items moves each item whole, its text (current or
// left over in the slot from an earlier string) included, whichever kinds
// they are.
TEST(ValueStack, SwapTopTwoMovesWholeItems) {
  TextStream out, err;
  Assembler as(out, err);
  ValueStack& values = as.values;
  const std::vector<std::pair<std::string, std::string>> texts = {{"", ""}, {"ab", ""}, {"", "xyz"}, {"long text beyond sso", "q"}};
  for (const auto& [lower_text, upper_text] : texts) {
    for (const ValueKind lower_kind : {VALUE_NUMBER, VALUE_STRING, VALUE_REGISTER}) {
      for (const ValueKind upper_kind : {VALUE_NUMBER, VALUE_UNKNOWN, VALUE_STRING}) {
        values.clear();
        values.push(VALUE_NUMBER, 99);
        values.push(lower_kind, 7);
        values.top().text = lower_text;
        values.push(upper_kind, -3);
        values.top().text = upper_text;
        const Item lower = item(values.from_top(1));
        const Item upper = item(values.top());
        values.swap_top_two();
        EXPECT_EQ(item(values.top()), lower);
        EXPECT_EQ(item(values.from_top(1)), upper);
        EXPECT_EQ(values.at(0).value, 99);
        EXPECT_EQ(values.size(), 3);
      }
    }
  }
}

TEST(ValueStack, PushStopsAtTheLimitAndReports) {
  TextStream out, err;
  Assembler as(out, err);
  as.options.quiet = true;
  ValueStack& values = as.values;
  for (int i = 0; i < VALUE_STACK_SIZE; ++i) ASSERT_TRUE(values.push(VALUE_NUMBER, i));
  EXPECT_FALSE(values.push(VALUE_NUMBER, 1));
  EXPECT_EQ(values.size(), VALUE_STACK_SIZE);
  EXPECT_EQ(values.top().value, VALUE_STACK_SIZE - 1);
  EXPECT_EQ(as.diagnostics.error_count, 1u);
}

}  // namespace
}  // namespace zorm::test
