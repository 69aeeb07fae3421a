#include "app/TextItems.h"

#include "support/MessageCapture.h"

#include <gtest/gtest.h>

TEST(TakeItem, PlainQuotedAndEmpty)
{
  QString item;
  EXPECT_EQ(takeItem("  abc def", item), " def");
  EXPECT_EQ(item, "abc");
  EXPECT_EQ(takeItem("\"a b\" c", item), " c");
  EXPECT_EQ(item, "a b");
  EXPECT_EQ(takeItem("last", item), "");
  EXPECT_EQ(item, "last");
  EXPECT_EQ(takeItem("   \t ", item), "");
  EXPECT_EQ(item, "");
  EXPECT_EQ(takeItem("a\"b c", item), " c"); // a quote inside an item stays
  EXPECT_EQ(item, "a\"b");
}

TEST(TakeItem, UnbalancedQuotesLogAndStillGiveAnItem)
{
  lctest::MessageCapture cap;
  QString item;
  EXPECT_EQ(takeItem(" \"open end", item), "");
  EXPECT_EQ(item, "open end");
  EXPECT_TRUE(cap.has("In a line [ \"open end] item is started from quote but not ended by quote"));

  EXPECT_EQ(takeItem("closed\" x", item), " x");
  EXPECT_EQ(item, "closed\"");
  EXPECT_TRUE(cap.has("In a line [closed\" x] item is started from not quote but ended by quote"));
}

TEST(StripComment, QuotesProtectHash)
{
  EXPECT_EQ(stripComment("key value # note"), "key value ");
  EXPECT_EQ(stripComment("key \"a#b\" # note"), "key \"a#b\" ");
  EXPECT_EQ(stripComment("key 'a#b'"), "key 'a#b'");
  // Either quote closes the other.
  EXPECT_EQ(stripComment("k \"a' #c"), "k \"a' ");
  EXPECT_EQ(stripComment("# all comment"), "");
  EXPECT_EQ(stripComment(""), "");
}

TEST(ThousandsSeparators, IntegersDecimalsShortAndSigned)
{
  EXPECT_EQ(withThousandsSeparators("1234567.89"), "1,234,567.89");
  EXPECT_EQ(withThousandsSeparators("1234567"), "1,234,567");
  EXPECT_EQ(withThousandsSeparators("123.4567"), "123.4567");
  EXPECT_EQ(withThousandsSeparators("1234"), "1,234");
  EXPECT_EQ(withThousandsSeparators("12"), "12");
  EXPECT_EQ(withThousandsSeparators("-123"), "-123");
  EXPECT_EQ(withThousandsSeparators("-1234.5"), "-1,234.5");
}

TEST(StandardColour, CyclesThroughNine)
{
  EXPECT_EQ(standardColour(0), QColor(255, 0, 0));
  EXPECT_EQ(standardColour(3), QColor(255, 200, 0));
  EXPECT_EQ(standardColour(8), QColor(0, 200, 255));
  EXPECT_EQ(standardColour(9), standardColour(0));
  EXPECT_EQ(standardColour(-1), standardColour(8));
}
