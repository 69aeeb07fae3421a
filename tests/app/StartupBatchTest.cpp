#include "app/Settings.h"
#include "app/Startup.h"
#include "batch/BatchCtrl.h"
#include "body/Body.h"

#include "ui_Body.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs the start-up with `opt`; `onBody` sees the main window once the
// event loop runs. A guard ends the loop should the batch never quit.
// `closeAfterMs` ends the loop after that time (the guard against a batch
// that never quits, or the end of a test that expects no quit).
void runWith(const StartupOptions& opt, int closeAfterMs, const std::function<void(Body&)>& onBody)
{
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* body = qobject_cast<Body*>(w))
        onBody(*body);
  });
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] { QApplication::closeAllWindows(); });
  guard.start(closeAfterMs);
  runMainWindow(opt);
}

// Options naming a batch file in `dir` that holds `text`.
StartupOptions withBatch(const QTemporaryDir& dir, const QByteArray& text, bool exec)
{
  StartupOptions opt;
  opt.batchFile = dir.filePath("b.bat");
  opt.execBatch = exec;
  QFile f(opt.batchFile);
  if (f.open(QIODevice::WriteOnly))
    f.write(text);
  return opt;
}

QString batchEditorText(const Body& body)
{
  return body.batchCtrl()->findChild<QPlainTextEdit*>("BatchCmds")->toPlainText();
}

} // namespace

// -b FILE -x: the batch is loaded into the batch window and runs; its
// "quit" ends the program.
TEST(StartupBatch, BatchFileIsLoadedAndRunUntilQuit)
{
  const QTemporaryDir dir;
  QString widthAtQuit;
  QString editor;
  runWith(withBatch(dir, "set_band_w 7\nquit\n", true), 20000, [&](Body& body) {
    editor = batchEditorText(body);
    QObject::connect(&body, &Body::finishing, [&] { widthAtQuit = body.form()->HWidth->text(); });
  });
  EXPECT_EQ(editor, QString("set_band_w 7\nquit\n"));
  EXPECT_EQ(widthAtQuit, QString("7"));
}

// -b FILE alone only loads the batch.
TEST(StartupBatch, WithoutExecTheBatchWaits)
{
  const QTemporaryDir dir;
  QString editor;
  bool quitByBatch = false;
  runWith(withBatch(dir, "quit\n", false), 500, [&](Body& body) {
    editor = batchEditorText(body);
    QObject::connect(&body, &Body::finishing, [&] { quitByBatch = true; });
  });
  EXPECT_EQ(editor, QString("quit\n"));
  EXPECT_FALSE(quitByBatch);
}
