#include "FakeExecutor.h"

#include "batch/BatchDispatcher.h"
#include "gui/batch/BatchCtrl.h"
#include "support/TestData.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {
QPlainTextEdit* editor(BatchCtrl& w, const char* name)
{
  return w.findChild<QPlainTextEdit*>(name);
}
void click(BatchCtrl& w, const char* button)
{
  QTest::mouseClick(w.findChild<QPushButton*>(button), Qt::LeftButton);
}
} // namespace

TEST(BatchCtrl, LoadReplacesTheEditorKeepsTheLogAndSaveRoundTrips)
{
  QTemporaryDir dir;
  const QString path =
    lctest::writeFile(dir.filePath("job.bat"), ":for i I 1 2\r\nseek_image I\n:next i");
  BatchCtrl w;
  editor(w, "BatchCmds")->setPlainText("old text");
  w.Log("first\n");
  w.showCmdErr(parseCmdLine("bogus 1 2"));
  w.load(path);
  EXPECT_EQ(editor(w, "BatchCmds")->toPlainText(), ":for i I 1 2\nseek_image I\n:next i\n");
  EXPECT_EQ(editor(w, "BatchLogs")->toPlainText(), "first\nErr: bogus 1 2\n");

  w.load(dir.filePath("missing.bat"));
  EXPECT_EQ(editor(w, "BatchCmds")->toPlainText(), ":for i I 1 2\nseek_image I\n:next i\n");

  w.save(dir.filePath("copy.bat"));
  w.clear();
  w.load(dir.filePath("copy.bat"));
  EXPECT_EQ(editor(w, "BatchCmds")->toPlainText(), ":for i I 1 2\nseek_image I\n:next i\n");
}

TEST(BatchCtrl, RunsABatchThroughTheInterpreter)
{
  BatchDispatcher dispatcher;
  FakeExecutor exec(&dispatcher);
  BatchCtrl w;
  w.setDispatcher(&dispatcher);
  editor(w, "BatchCmds")->setPlainText(":for i %i 1 2\nseek_image %i\n:next i\n");
  click(w, "Exec");
  ASSERT_TRUE(exec.waitForCmds(2));
  FakeExecutor::settle();
  EXPECT_EQ(editor(w, "BatchLogs")->toPlainText(),
            "for i : %i = 1\nseek_image : 1\nnext i : %i = 2\nseek_image : 2\n");
}
