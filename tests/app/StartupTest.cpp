#include "gui/app/Startup.h"
#include "analysis/ComponentRun.h"
#include "analysis/LcfRun.h"
#include "app/Settings.h"
#include "gui/analysis/Analyzer.h"
#include "gui/batch/BatchCtrl.h"
#include "gui/body/Body.h"
#include "gui/calibration/CalibCtrl.h"
#include "gui/display/BringToFront.h"

#include "support/TestData.h"
#include "ui_Body.h"

#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs the start-up with `opt`; `onBody` sees the main window once the event
// loop runs; after `closeAfterMs` the windows are closed. Returns the exit code.
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

// -b FILE alone only loads the batch (with -x it runs: the golden tests run
// the windows so).
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

// A tool window opens within the screen, however large it was made or
// wherever it was put.
TEST(StartupWindows, ToolWindowsOpenWithinTheScreen)
{
  for (const QRect was : { QRect(0, 0, 300, 200), QRect(5000, 5000, 3000, 3000) }) {
    QWidget window;
    window.setGeometry(was);
    bringToFront(&window);
    EXPECT_TRUE(window.screen()->availableGeometry().contains(window.frameGeometry())) << was.x();
  }
}

// The embedded Japanese translation reaches the main window's captions; the
// program's own name stays as it is.
TEST(Translation, JapaneseCaptionsOnTheMainWindow)
{
  QTranslator translator;
  ASSERT_TRUE(
    translator.load(QStringLiteral(":Lumacresta_ja_JP"), QApplication::applicationDirPath()));
  ASSERT_TRUE(QApplication::installTranslator(&translator));
  {
    Body japanese;
    EXPECT_EQ(japanese.form()->SelectI1Files->text(), QString::fromUtf8("I1 データ"));
    EXPECT_EQ(japanese.form()->Transmission->text(), QString::fromUtf8("透過"));
    EXPECT_EQ(japanese.windowTitle(), "Lumacresta");
    // The tool windows and the texts made in code are translated too.
    EXPECT_EQ(japanese.form()->SaveFlatDark->text(), QString::fromUtf8("フラット/ダークを保存"));
    EXPECT_EQ(japanese.analyzer()->findChild<QCheckBox*>("LCFNonNegative")->text(),
              QString::fromUtf8("負にしない"));
    EXPECT_EQ(japanese.calibCtrl()->windowTitle(), QString::fromUtf8("較正"));
    EXPECT_EQ(japanese.form()->SaveTarget->text(),
              QString::fromUtf8("データ保存: 保存するマップがありません"));
  }
  // A run's refusal reaches the window in Japanese (the log keeps English).
  LcfRun run;
  QSignalSpy refused(&run, &LcfRun::refused);
  run.start(nullptr, {}, {});
  ASSERT_EQ(refused.count(), 1);
  EXPECT_EQ(refused[0][0].toString(),
            QString::fromUtf8("LCF 2D 解析を開始しません: 画像が読み込まれていません"));
  EXPECT_EQ(scoreChoiceLine({ ScoreChoice::Asked, 3, 0.0, 0.0 }, true),
            QString::fromUtf8("スコア 3 個 (指定どおり)"));
  QApplication::removeTranslator(&translator);
}
