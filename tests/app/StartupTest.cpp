#include "app/Startup.h"
#include "app/Settings.h"
#include "batch/BatchCtrl.h"
#include "body/Body.h"

#include "support/TestData.h"
#include "ui_Body.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs the start-up with `opt`; `onBody` sees the main window once the
// event loop runs. `closeAfterMs` ends the loop after that time (the guard
// against a batch that never quits, or the end of a test that expects no
// quit). Returns the program's exit code.
int runWith(const StartupOptions& opt, int closeAfterMs, const std::function<void(Body&)>& onBody)
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
  return runMainWindow(opt);
}

// Options naming a batch file in `dir` that holds `text`.
StartupOptions withBatch(const QTemporaryDir& dir, const QByteArray& text, bool exec)
{
  StartupOptions opt;
  opt.batchFile = lctest::writeFile(dir.filePath("b.bat"), text);
  opt.execBatch = exec;
  return opt;
}

QString batchEditorText(const Body& body)
{
  return body.batchCtrl()->findChild<QPlainTextEdit*>("BatchCmds")->toPlainText();
}

} // namespace

// The main window, titled "Lumacresta", shows; finishing() ends the event
// loop cleanly and the window is gone after it.
TEST(Startup, MainWindowShowsAndFinishingEndsTheLoop)
{
  QString title;
  bool shown = false;
  const int rc = runWith(StartupOptions(), 20000, [&](Body& body) {
    shown = body.isVisible();
    title = body.windowTitle();
    emit body.finishing();
  });
  EXPECT_EQ(rc, 0);
  EXPECT_TRUE(shown);
  EXPECT_EQ(title, "Lumacresta");
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_EQ(qobject_cast<Body*>(w), nullptr);
}

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

// The embedded Japanese translation reaches the main window's captions, both
// on a freshly built window and through retranslateUi, while the program's
// own name stays as it is; without the translator the captions are English.
TEST(Translation, JapaneseCaptionsOnTheMainWindow)
{
  {
    Body english;
    EXPECT_EQ(english.form()->SelectI1Files->text(), "I1 Data");
    EXPECT_EQ(english.form()->Transmission->text(), "Transmission");
  }

  QTranslator translator;
  ASSERT_TRUE(
    translator.load(QStringLiteral(":Lumacresta_ja_JP"), QApplication::applicationDirPath()));
  ASSERT_TRUE(QApplication::installTranslator(&translator));
  {
    Body japanese;
    EXPECT_EQ(japanese.form()->SelectI1Files->text(), QString::fromUtf8("I1 データ"));
    EXPECT_EQ(japanese.form()->Transmission->text(), QString::fromUtf8("透過"));
    EXPECT_EQ(japanese.windowTitle(), "Lumacresta");

    QApplication::removeTranslator(&translator);
    japanese.form()->retranslateUi(&japanese);
    EXPECT_EQ(japanese.form()->SelectI1Files->text(), "I1 Data");
  }
}
