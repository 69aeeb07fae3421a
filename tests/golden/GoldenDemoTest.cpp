// End to end through the real programs: the README's demo, small (generate
// the sample stack, run examples/demo.bat as the run script does, compare
// what it wrote with tests/golden/demo/golden.txt), through the windows and
// through the batch runner; and a batch of the shared analysis and save
// words, whose files must be the same bytes from both programs.

#include "FractionCheck.h"
#include "StackGen.h"
#include "support/TestData.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

namespace {

QList<QStringList> goldenLines(const QString& path)
{
  QList<QStringList> lines;
  for (const QString& l : QString::fromUtf8(lctest::readFile(path)).split('\n')) {
    const QString line = l.trimmed();
    if (!line.isEmpty() && !line.startsWith('#'))
      lines << line.split(' ', Qt::SkipEmptyParts);
  }
  return lines;
}

// Runs `program` with `args` in `dir`; its exit code, or -1 when it did not
// end in time (the log then says where it stood).
int runProgram(const QString& program, const QStringList& args, const QString& dir, QString& log)
{
  QProcess p;
  p.setWorkingDirectory(dir);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  // The windows need a platform; the batch runner must do without a display.
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.remove("DISPLAY");
  if (program == LC_BATCH_PROGRAM)
    env.remove("QT_QPA_PLATFORM");
  p.setProcessEnvironment(env);
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, args);
  const bool ended = p.waitForStarted() && p.waitForFinished(240000);
  log = QString::fromLocal8Bit(p.readAll());
  return ended && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// The plan's sample stack and foil into dir/sample-data.
void generate(const QDir& dir, int width, int height, int energies, bool foil)
{
  stackgen::StackSpec plan;
  plan.width = width;
  plan.height = height;
  for (int k = 0; k < energies; ++k)
    plan.energies << 8940.0 + 120.0 * k / (energies - 1);
  if (foil)
    stackgen::makeFoil(plan);
  const QString into = dir.filePath(foil ? "sample-data/foil/tif" : "sample-data/tif");
  ASSERT_TRUE(stackgen::generateStack(plan, into, stackgen::Format::Tiff).ok);
}

QString firstMatch(const QDir& dir, const QString& pattern)
{
  const QStringList found = dir.entryList({ pattern }, QDir::Files, QDir::Name);
  return found.isEmpty() ? QString() : dir.filePath(found.first());
}

// Runs `batch` through the windows and through the batch runner in `dir`,
// each writing into `out` (checked by `check` with `windows` telling which
// ran); the files of each, by name, a shift map's recording time aside.
using Written = QMap<QString, QByteArray>;
void runBoth(const QDir& dir,
             const QString& batch,
             const QString& out,
             QString& log,
             const std::function<void(const QDir& out, bool windows)>& check,
             Written& windows,
             Written& runner)
{
  for (const QString program : { LC_PROGRAM, LC_BATCH_PROGRAM }) {
    ASSERT_TRUE(dir.mkpath(out));
    const bool inWindows = program == LC_PROGRAM;
    const QStringList args =
      inWindows ? QStringList{ "-e", "-b", batch, "-x" } : QStringList{ batch };
    EXPECT_EQ(runProgram(program, args, dir.path(), log), 0) << log.toStdString();
    QDir written(dir.filePath(out));
    check(written, inWindows);
    for (const QString& name : written.entryList(QDir::Files)) {
      QByteArray bytes = lctest::readFile(written.filePath(name));
      if (name.endsWith(".emp"))
        bytes =
          QString::fromLatin1(bytes).remove(QRegularExpression("Record Date[^\n]*")).toLatin1();
      (inWindows ? windows : runner)[name] = bytes;
    }
    ASSERT_TRUE(written.removeRecursively());
  }
}

// Every file of the windows but their pictures of the view comes, the same
// bytes, from the batch runner, and nothing else.
void expectSameFiles(const Written& windows, const Written& runner, const QStringList& pictures)
{
  for (const QString& p : pictures)
    EXPECT_TRUE(windows.contains(p)) << p.toStdString();
  for (auto f = windows.begin(); f != windows.end(); ++f) {
    if (pictures.contains(f.key()))
      continue;
    ASSERT_TRUE(runner.contains(f.key())) << f.key().toStdString();
    EXPECT_TRUE(runner[f.key()] == f.value()) << f.key().toStdString();
  }
  EXPECT_EQ(runner.size(), windows.size() - pictures.size());
}

} // namespace

// The README's demo, small, through both programs: the same files (the
// windows' pictures aside), each recovering the generator's truth.
TEST(GoldenDemo, BothProgramsRecoverTheTruthWithTheSameFiles)
{
  const QList<QStringList> golden = goldenLines(LC_SOURCE_DIR "/tests/golden/demo/golden.txt");
  ASSERT_FALSE(golden.isEmpty());
  const QTemporaryDir work;
  const QDir dir(work.path());
  const QDir data(dir.filePath("sample-data/tif"));
  const QDir foil(dir.filePath("sample-data/foil/tif"));
  QString batch;
  QStringList pictures;
  for (const QStringList& g : golden) {
    if (g[0] == "generate" || g[0] == "foil")
      generate(dir, g[1].toInt(), g[2].toInt(), g[3].toInt(), g[0] == "foil");
    else if (g[0] == "batch")
      batch = QStringLiteral(LC_SOURCE_DIR "/") + g[1];
    else if (g[0] == "picture")
      pictures << g[1];
  }
  const auto check = [&](const QDir& out, bool windows) {
    for (const QStringList& g : golden) {
      if (g[0] == "picture") {
        // Pictures of the view come from the windows only.
        EXPECT_EQ(firstMatch(out, g[1]).isEmpty(), !windows) << g[1].toStdString();
      } else if (g[0] == "file") {
        EXPECT_FALSE(firstMatch(out, g[1]).isEmpty()) << g[1].toStdString();
      } else if (g[0] == "fraction" || g[0] == "shift") {
        SCOPED_TRACE(g[1].toStdString());
        fraccheck::Grid truth;
        QVector<fraccheck::MapValue> map;
        QString error;
        ASSERT_TRUE(
          fraccheck::readTruthGrid((g[0] == "shift" ? foil : data).filePath(g[2]), truth, error))
          << error.toStdString();
        ASSERT_TRUE(fraccheck::readMapPoints(firstMatch(out, g[1]), map, error))
          << error.toStdString();
        const fraccheck::Summary s = fraccheck::compare(truth, map);
        EXPECT_GT(s.points, 10);
        EXPECT_LE(s.meanAbs, g[3].toDouble()) << fraccheck::describe(s).toStdString();
      }
    }
  };
  QString log;
  Written windows, runner;
  runBoth(dir, batch, "demo-output", log, check, windows, runner);
  expectSameFiles(windows, runner, pictures);
}

// The analysis and save words give the same files, byte for byte, from the
// windows and from the batch runner; the picture of the view comes from the
// windows only.
TEST(GoldenBoth, BatchRunnerWritesTheFilesOfTheWindows)
{
  const QTemporaryDir work;
  const QDir dir(work.path());
  generate(dir, 30, 20, 121, false);
  generate(dir, 30, 20, 121, true);
  QString log;
  Written windows, runner;
  runBoth(
    dir,
    LC_SOURCE_DIR "/tests/golden/both/analysis.bat",
    "out",
    log,
    [](const QDir&, bool) {},
    windows,
    runner);
  EXPECT_TRUE(log.contains("save_image: needs the windows, skipped")) << log.toStdString();
  // The runner's standard error has the progress lines, not one line a row.
  EXPECT_TRUE(log.contains("progress 100 %")) << log.toStdString();
  EXPECT_FALSE(log.contains("Residual absorption row")) << log.toStdString();
  EXPECT_FALSE(log.contains("Save Xafs Spectra : Progress")) << log.toStdString();
  EXPECT_GE(runner.size(), 8);
  expectSameFiles(windows, runner, { "view.png" });
}

// Exit codes: 2 for a usage error or an unreadable batch file; 1 when a
// command failed, after the rest ran.
TEST(GoldenBoth, BatchRunnerExitCodes)
{
  const QTemporaryDir work;
  QString log;
  EXPECT_EQ(runProgram(LC_BATCH_PROGRAM, {}, work.path(), log), 2);
  EXPECT_EQ(runProgram(LC_BATCH_PROGRAM, { "--threads" }, work.path(), log), 2);
  EXPECT_EQ(runProgram(LC_BATCH_PROGRAM, { "missing.bat" }, work.path(), log), 2);
  EXPECT_EQ(runProgram(LC_BATCH_PROGRAM, { "--help" }, work.path(), log), 0);
  EXPECT_TRUE(log.contains("usage: lumacresta-batch")) << log.toStdString();
  // A batch file without line breaks is refused after one bounded line.
  QFile zeros(work.filePath("zeros.bat"));
  ASSERT_TRUE(zeros.open(QIODevice::WriteOnly) && zeros.resize(8 << 20));
  zeros.close();
  EXPECT_EQ(runProgram(LC_BATCH_PROGRAM, { zeros.fileName() }, work.path(), log), 2);
  EXPECT_TRUE(log.contains("a line is longer than 1048576 bytes")) << log.toStdString();
  const QString bad =
    lctest::writeFile(work.filePath("bad.bat"),
                      "no_such_word 1\ncalib_exec\nanalyzer_set_LCF_std 100000000 1 0 r.dat 0\n"
                      // A spectrum without line breaks: refused, and the batch goes on.
                      "calib_load_std zeros.bat\n"
                      "analyzer_set_LCF_residual chi2\n:echo \"went on\"\n");
  EXPECT_EQ(runProgram(LC_BATCH_PROGRAM, { bad }, work.path(), log), 1);
  EXPECT_TRUE(log.contains("failed: no_such_word 1")) << log.toStdString();
  EXPECT_TRUE(log.contains("unknown residual chi2 (zansa or rfactor)")) << log.toStdString();
  EXPECT_TRUE(log.contains("No spectrum in file : zeros.bat")) << log.toStdString();
  EXPECT_TRUE(log.contains("echo went on")) << log.toStdString();
}
