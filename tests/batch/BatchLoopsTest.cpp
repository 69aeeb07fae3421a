#include "batch/BatchLoops.h"

#include <gtest/gtest.h>

namespace {
// All values a loop takes, at most `cap` of them.
QStringList runLoop(const QString& start, const QString& end, const QString& step, int cap = 50)
{
  LoopRecord r{ "i", 0, "%i", start, end, start, step };
  QStringList values{ r.current };
  for (LoopStep s = nextLoopValue(r); s.again && values.size() < cap; s = nextLoopValue(r)) {
    r.current = s.value;
    values << r.current;
  }
  return values;
}
} // namespace

TEST(BatchLoops, CountsUpDownAndByTheStep)
{
  EXPECT_EQ(runLoop("1", "3", ""), QStringList({ "1", "2", "3" }));
  EXPECT_EQ(runLoop("1", "3", "0"), QStringList({ "1", "2", "3" }));
  EXPECT_EQ(runLoop("3", "1", ""), QStringList({ "3", "2", "1" }));
  EXPECT_EQ(runLoop("0", "10", "4"), QStringList({ "0", "4", "8" }));
  EXPECT_EQ(runLoop("5", "5", ""), QStringList({ "5" }));
  // A step of the wrong sign counts by its size instead of running away.
  EXPECT_EQ(runLoop("1", "5", "-2"), QStringList({ "1", "3", "5" }));
  EXPECT_EQ(runLoop("5", "1", "-2"), QStringList({ "5", "3", "1" }));
  // The ends of the 32-bit range do not wrap around.
  EXPECT_EQ(runLoop("2147483646", "2147483647", "5"), QStringList({ "2147483646" }));
  // Padded with zeros to the start text's length.
  EXPECT_EQ(runLoop("08", "11", ""), QStringList({ "08", "09", "10", "11" }));
  EXPECT_EQ(runLoop("010", "008", ""), QStringList({ "010", "009", "008" }));
  // Letters read as 0: the loop runs once, and says why.
  EXPECT_EQ(runLoop("a", "z", ""), QStringList({ "a" }));
  const struct
  {
    const char *start, *end, *note;
  } notes[] = {
    { "1", "3", "" },
    { "08", "-2", "" },
    { "a",
      "z",
      ":for i : start \"a\", end \"z\" are not whole numbers (loops count whole "
      "numbers, not letters); read as 0" },
    { "1",
      "x3",
      ":for i : end \"x3\" is not a whole number (loops count whole numbers, not "
      "letters); read as 0" },
  };
  for (const auto& n : notes) {
    const LoopRecord r{ "i", 0, "%i", n.start, n.end, n.start, "" };
    EXPECT_EQ(loopNumbersNote(r), QString(n.note)) << n.start;
  }
}

TEST(BatchLoops, SubstitutesInOnePassUpToTheLimit)
{
  QVector<LoopRecord> loops{ { "i", 0, "%i", "1", "3", "12", "" },
                             { "j", 2, "%j", "1", "3", "%i", "" } };
  EXPECT_EQ(substituteLoopVariables("a%i_%j.tif", loops), "a12_%i.tif");
  // ... and stops at the limit.
  const QVector<LoopRecord> one{ { "i", 0, "%i", "1", "9", "12345", "" } };
  bool tooLong = true;
  EXPECT_EQ(substituteLoopVariables("a%i", one, 6, &tooLong), "a12345");
  EXPECT_FALSE(tooLong);
  EXPECT_EQ(substituteLoopVariables("a%i%i", one, 10, &tooLong), "a12345");
  EXPECT_TRUE(tooLong);
  EXPECT_EQ(substituteLoopVariables("abcdef", one, 3, &tooLong), "abc");
  EXPECT_TRUE(tooLong);
}
