#include "FakeExecutor.h"

#include "batch/BatchDispatcher.h"
#include "support/MessageCapture.h"

#include <gtest/gtest.h>

// Every test runs the interpreter on the test thread, as both programs do,
// and answers through queued connections.
class BatchDispatcherTest : public ::testing::Test
{
protected:
  BatchDispatcher dispatcher;
  FakeExecutor exec{ &dispatcher };
};

TEST_F(BatchDispatcherTest, NestedLoopsSubstituteAndLog)
{
  lctest::MessageCapture capture;
  ASSERT_TRUE(exec.run({ ":for i %i 1 2",
                         ":FOR j %j 001 003 # padded",
                         ":echo \"pass %i %j\"",
                         "save_image out%i_%j.png",
                         ":next j",
                         ":Next i" }));
  QStringList expected;
  for (const char* i : { "1", "2" })
    for (const char* j : { "001", "002", "003" })
      expected << QString("save_image out%1_%2.png").arg(i, j);
  EXPECT_EQ(exec.lines(), expected);
  EXPECT_EQ(exec.cmds.at(0).line, "save_image out%i_%j.png");
  EXPECT_EQ(exec.log.mid(0, 5),
            QStringList({ "for i : %i = 1\n",
                          "for j : %j = 001\n",
                          "echo pass 1 001\n",
                          "save_image : out1_001.png\n",
                          "next j : %j = 002\n" }));
  EXPECT_TRUE(exec.log.contains("next i : %i = 2\n"));
  EXPECT_TRUE(capture.has("echo pass 2 003")); // the value, not the loop's form
}

TEST_F(BatchDispatcherTest, SkipsBlankLinesStrayNextAndRemarksAndStopsAtEnd)
{
  lctest::MessageCapture capture;
  ASSERT_TRUE(exec.run({ "",
                         "   # comment only",
                         ":next nothing",
                         ":echo \"hello there\"",
                         "zoom_in",
                         ":END",
                         "quit" }));
  EXPECT_EQ(exec.lines(), QStringList({ "zoom_in" }));
  EXPECT_TRUE(capture.has("echo hello there"));
  EXPECT_EQ(exec.log, QStringList({ "echo hello there\n", "zoom_in : \n" }));

  ASSERT_TRUE(exec.run({}));
  ASSERT_TRUE(exec.run({ "", "" }));
  EXPECT_EQ(exec.cmds.size(), 1);

  // A remark block is logged but marked.
  exec.cmds.clear();
  exec.inRem.clear();
  ASSERT_TRUE(exec.run({ "zoom_in", ":rem_start", "quit", ":end", ":rem_end", "scale_reset" }));
  EXPECT_EQ(exec.lines(), QStringList({ "zoom_in", ":rem_start", "quit", ":end", "scale_reset" }));
  EXPECT_EQ(exec.inRem, QVector<bool>({ false, true, true, true, false }));
  EXPECT_TRUE(exec.log.contains("quit : \n"));
}

TEST_F(BatchDispatcherTest, ContinuationAndSubstitutionEdgeCases)
{
  ASSERT_TRUE(exec.run({ "load_I1_files new a.tif \\   ",
                         "b.tif",
                         ":for n 1 1 \\",
                         "2",
                         ":for e \"\" 7 7",
                         "seek_image 1",
                         ":next n" }));
  ASSERT_EQ(exec.cmds.size(), 3);
  EXPECT_EQ(exec.cmds.at(0).args, QStringList({ "new", "a.tif", "b.tif" }));
  // The value "1" holds the form "1" itself; an empty form never matches;
  // going round again starts after the whole continued `:for`.
  EXPECT_EQ(exec.cmds.at(1).substLine, "seek_image 1");
  EXPECT_EQ(exec.cmds.at(2).substLine, "seek_image 2");
}

TEST_F(BatchDispatcherTest, OnlyTheAwaitedCommandsEndMovesOn)
{
  exec.autoFinish = false;
  emit exec.finishAny(); // nothing awaited: ignored
  emit exec.dispatch({ "zoom_in", "scale_reset", "quit" });
  ASSERT_TRUE(exec.waitForCmds(1));
  const quint64 first = exec.cmds.at(0).seq;
  emit exec.finishCmd(first + 7); // belongs to nobody
  FakeExecutor::settle();
  EXPECT_EQ(exec.cmds.size(), 1);

  // Reported twice: only one line moves on.
  emit exec.finishCmd(first);
  emit exec.finishCmd(first);
  ASSERT_TRUE(exec.waitForCmds(2));
  FakeExecutor::settle();
  EXPECT_EQ(exec.cmds.size(), 2);

  // A restart while a command is out: its late end must not move the new run.
  const quint64 old = exec.cmds.at(1).seq;
  emit exec.dispatch({ "seek_image 1", "seek_image 2" });
  ASSERT_TRUE(exec.waitForCmds(3));
  emit exec.finishCmd(old);
  FakeExecutor::settle();
  EXPECT_EQ(exec.cmds.size(), 3);
  emit exec.finishAny();
  ASSERT_TRUE(exec.waitForCmds(4));
  EXPECT_EQ(exec.cmds.at(3).substLine, "seek_image 2");
}

TEST_F(BatchDispatcherTest, StopEndsAWaitingBatch)
{
  exec.autoFinish = false;
  bool stopped = false;
  QObject::connect(&dispatcher, &BatchDispatcher::batchFinished, &exec, [&] { stopped = true; });
  emit exec.dispatch({ "analyzer_exec_LCF", "quit" });
  ASSERT_TRUE(exec.waitForCmds(1));
  QMetaObject::invokeMethod(&dispatcher, "batchStopSlot", Qt::QueuedConnection);
  FakeExecutor::settle();
  EXPECT_TRUE(stopped);
  emit exec.finishCmd(exec.cmds.at(0).seq);
  FakeExecutor::settle();
  EXPECT_EQ(exec.cmds.size(), 1);
}

TEST_F(BatchDispatcherTest, LongRunsOfKeywordLinesDoNotGrowTheStack)
{
  QStringList lines;
  for (int i = 0; i < 20000; ++i)
    lines << ":rem_end"
          << "# nothing";
  lines << "quit";
  ASSERT_TRUE(exec.run(lines, 30000));
  EXPECT_EQ(exec.lines(), QStringList({ "quit" }));
}

// Many continuation lines used to re-trim the whole joined text for every
// piece (seconds and GBs for 150 KB); they now join in one pass, and a
// line past the limit is skipped with one debug line while the next runs.
TEST_F(BatchDispatcherTest, LongContinuedLinesJoinFastAndOverlongOnesAreSkipped)
{
  QStringList lines{ "load_I1_files new \\" };
  const int pieces = 60000;
  for (int i = 0; i < pieces; ++i)
    lines << QStringLiteral("f%1.tif \\").arg(i % 10);
  lines << "last.tif";
  ASSERT_TRUE(exec.run(lines, 5000));
  ASSERT_EQ(exec.cmds.size(), 1);
  EXPECT_EQ(exec.cmds.at(0).args.size(), pieces + 2);
  EXPECT_EQ(exec.cmds.at(0).args.last(), "last.tif");

  exec.cmds.clear();
  lctest::MessageCapture log;
  const QString half(kMaxBatchLineChars / 2 + 1, QLatin1Char('a'));
  ASSERT_TRUE(
    exec.run({ "zoom_in", "save_data " + half + " \\", half + " \\", "  \\", "tail", "zoom_out" }));
  EXPECT_EQ(exec.lines(), QStringList({ "zoom_in", "zoom_out" }));
  EXPECT_TRUE(log.has("Batch line 2 is longer than 1048576 characters: skipped"));
  EXPECT_EQ(log.count("longer than"), 1);
}

// A loop value substituted into a long argument used to grow one command
// line to hundreds of MB; past the limit the command is not run, the batch
// says so once and goes on.
TEST_F(BatchDispatcherTest, SubstitutionBeyondTheLimitSkipsTheCommand)
{
  lctest::MessageCapture log;
  const QString value = QString(2000, QLatin1Char('0')) + QLatin1Char('1');
  const QString arg = QString(600, QLatin1Char('V')); // 600 x 2001 characters
  ASSERT_TRUE(exec.run({ ":for v V " + value + " 2", "save_data " + arg, "zoom_in V" }));
  ASSERT_EQ(exec.cmds.size(), 1);
  EXPECT_EQ(exec.cmds.at(0).substLine, "zoom_in " + value);
  EXPECT_TRUE(log.has("Batch line 2 grows beyond 1048576 characters with its loop variables: "
                      "save_data not run"));
  EXPECT_TRUE(exec.log.contains(
    "Batch line 2 grows beyond 1048576 characters with its loop variables: save_data not run\n"));
}
