// The README's demo, small: generate the sample stack, run the real program
// on examples/demo.bat as the run script does, and compare what it wrote
// with tests/golden/demo/golden.txt.

#include "FractionCheck.h"
#include "StackGen.h"
#include "support/TestData.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

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

QString firstMatch(const QDir& dir, const QString& pattern)
{
  const QStringList found = dir.entryList({ pattern }, QDir::Files, QDir::Name);
  return found.isEmpty() ? QString() : dir.filePath(found.first());
}

} // namespace

TEST(GoldenDemo, RecoversTheGeneratedFractions)
{
  const QList<QStringList> golden = goldenLines(LC_SOURCE_DIR "/tests/golden/demo/golden.txt");
  ASSERT_FALSE(golden.isEmpty());
  const QTemporaryDir work;
  const QDir dir(work.path());
  ASSERT_TRUE(dir.mkpath("demo-output"));
  const QDir out(dir.filePath("demo-output"));
  const QDir data(dir.filePath("sample-data/tif"));
  const QDir foil(dir.filePath("sample-data/foil/tif"));

  QString batch;
  for (const QStringList& g : golden) {
    if (g[0] == "generate" || g[0] == "foil") {
      stackgen::StackSpec plan;
      plan.width = g[1].toInt();
      plan.height = g[2].toInt();
      for (int k = 0; k < g[3].toInt(); ++k)
        plan.energies << 8940.0 + 120.0 * k / (g[3].toInt() - 1);
      if (g[0] == "foil")
        stackgen::makeFoil(plan);
      const QString into = g[0] == "foil" ? foil.path() : data.path();
      ASSERT_TRUE(stackgen::generateStack(plan, into, stackgen::Format::Tiff).ok);
    } else if (g[0] == "batch") {
      batch = QStringLiteral(LC_SOURCE_DIR "/") + g[1];
    }
  }

  QProcess program;
  program.setWorkingDirectory(dir.path());
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  program.setProcessEnvironment(env);
  program.setProcessChannelMode(QProcess::MergedChannels);
  program.start(LC_PROGRAM, { "-e", "-b", batch, "-x" });
  ASSERT_TRUE(program.waitForStarted());
  const bool ended = program.waitForFinished(240000);
  const QString log = QString::fromLocal8Bit(program.readAll());
  ASSERT_TRUE(ended) << "the demo never reached quit:\n" << log.toStdString();
  EXPECT_EQ(program.exitCode(), 0) << log.toStdString();

  for (const QStringList& g : golden) {
    if (g[0] == "file") {
      EXPECT_FALSE(firstMatch(out, g[1]).isEmpty()) << g[1].toStdString();
    } else if (g[0] == "fraction" || g[0] == "shift") {
      SCOPED_TRACE(g[1].toStdString());
      const QDir& truthDir = g[0] == "shift" ? foil : data;
      fraccheck::Grid truth;
      QVector<fraccheck::MapValue> map;
      QString error;
      ASSERT_TRUE(fraccheck::readTruthGrid(truthDir.filePath(g[2]), truth, error))
        << error.toStdString();
      ASSERT_TRUE(fraccheck::readMapPoints(firstMatch(out, g[1]), map, error))
        << error.toStdString();
      const fraccheck::Summary s = fraccheck::compare(truth, map);
      EXPECT_GT(s.points, 10);
      EXPECT_LE(s.meanAbs, g[3].toDouble()) << fraccheck::describe(s).toStdString();
    }
  }
}
