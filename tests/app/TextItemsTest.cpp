#include "app/TextItems.h"

#include "support/MessageCapture.h"

#include "support/Tolerance.h"

#include <QColor>

#include <cmath>

#include <gtest/gtest.h>

TEST(TakeItem, PlainQuotedEmptyAndUnbalanced)
{
  // A quote inside an item stays; unbalanced quotes still give an item.
  const struct
  {
    const char *line, *rest, *item;
  } cases[] = { { "  abc def", " def", "abc" },
                { "\"a b\" c", " c", "a b" },
                { "last", "", "last" },
                { "   \t ", "", "" },
                { "a\"b c", " c", "a\"b" },
                { " \"open end", "", "open end" },
                { "closed\" x", " x", "closed\"" } };
  lctest::MessageCapture cap;
  for (const auto& c : cases) {
    QString item;
    EXPECT_EQ(takeItem(c.line, item), c.rest) << c.line;
    EXPECT_EQ(item, c.item) << c.line;
  }
  EXPECT_TRUE(cap.has("In a line [ \"open end] item is started from quote but not ended by quote"));
  EXPECT_TRUE(cap.has("In a line [closed\" x] item is started from not quote but ended by quote"));
}

TEST(StripComment, QuotesProtectHash)
{
  EXPECT_EQ(stripComment("key value # note"), "key value ");
  EXPECT_EQ(stripComment("key \"a#b\" # note"), "key \"a#b\" ");
  EXPECT_EQ(stripComment("key 'a#b'"), "key 'a#b'");
  EXPECT_EQ(stripComment("k \"a' #c"), "k \"a' "); // either quote closes the other
  EXPECT_EQ(stripComment("# all comment"), "");
}

TEST(ThousandsSeparators, IntegersDecimalsShortAndSigned)
{
  const std::pair<const char*, const char*> cases[] = { { "1234567.89", "1,234,567.89" },
                                                        { "123.4567", "123.4567" },
                                                        { "1234", "1,234" },
                                                        { "12", "12" },
                                                        { "-123", "-123" },
                                                        { "-1234.5", "-1,234.5" } };
  for (const auto& [plain, separated] : cases)
    EXPECT_EQ(withThousandsSeparators(plain), separated);
}

// Every plot colour stands out on white (the standard yellow (255, 200, 0)
// did not) and keeps the hue of its standard colour.
TEST(StandardColour, ReadableOnWhite)
{
  auto lin = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
  for (int i = 0; i < 9; ++i) {
    SCOPED_TRACE(i);
    const QColor c = readableColour(i);
    const double l = 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
    EXPECT_GE(1.05 / (l + 0.05), 3.0);
    EXPECT_CLOSE(c.hsvHueF(), standardColour(i).hsvHueF(), 0.02);
  }
  // The standard colours cycle through nine.
  EXPECT_EQ(standardColour(9), standardColour(0));
  EXPECT_EQ(standardColour(-1), standardColour(8));
  EXPECT_NE(standardColour(8), standardColour(0));
}

// splitItems gives what repeated takeItem gives, and a 1 MB line of half a
// million items splits at once (taking item after item copied the rest
// every time).
TEST(SplitItems, SameItemsAsTakeItemInOnePass)
{
  for (const char* line : { "  abc def", "\"a b\" c \"\" d", "a\"b c", "x \"open end", "", "  " }) {
    QStringList expected;
    QString rest = line;
    while (!rest.trimmed().isEmpty()) {
      QString item;
      rest = takeItem(rest, item);
      expected << item;
    }
    EXPECT_EQ(splitItems(line), expected) << line;
  }
  lctest::MessageCapture cap;
  EXPECT_EQ(splitItems("a\" b\" \"c"), QStringList({ "a\"", "b\"", "c" }));
  EXPECT_EQ(
    cap.messages(),
    QStringList({ "In a line [a\" b\" \"c] item is started from not quote but ended by quote",
                  "In a line [ \"c] item is started from quote but not ended by quote" }));

  QString big;
  for (int i = 0; i < 500000; ++i)
    big += QStringLiteral("x ");
  EXPECT_EQ(splitItems(big).size(), 500000);
}
