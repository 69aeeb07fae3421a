// lumacresta-batch [-c FILE] [-d DIR] [-br DIR] [--threads N] BATCHFILE
//
// Runs a batch file without windows: exit 0 when every command succeeded,
// 1 when any failed (the rest still ran), 2 on a usage error or a batch
// file that cannot be read. Failures and progress go to standard error.

#include "app/LeakSuppressions.h"
#include "app/ParamRegistry.h"
#include "app/Settings.h"
#include "app/TextLines.h"
#include "batch/BatchExecutor.h"
#include "batch/BatchFile.h"
#include "display/ColorMap.h"
#include "session/Session.h"
#include "spectrum/EdgeTable.h"

#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kUsageError = 2;

const char* const kUsage =
  "usage: lumacresta-batch [-c FILE] [-d DIR] [-br DIR] [--threads N] BATCHFILE\n";

int usage(const char* why)
{
  std::fprintf(stderr, "lumacresta-batch: %s\n%s", why, kUsage);
  return kUsageError;
}

// The debug output is standard error here. The per-row lines of the long
// runs, which the windows' log keeps, would flood it: the runs say the same
// through the "progress N %" line.
void batchMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
  if (type == QtDebugMsg && (text.startsWith(QLatin1String("Save Xafs Spectra : Progress")) ||
                             text.startsWith(QLatin1String("Residual absorption row "))))
    return;
  std::fprintf(stderr, "%s\n", qPrintable(text));
  if (type == QtFatalMsg)
    std::abort();
}

} // namespace

int main(int argc, char** argv)
{
  // Pictures of the colour bar need fonts, not a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  qInstallMessageHandler(batchMessages);

  QStringList startupArgs{ QString::fromLocal8Bit(argv[0]) };
  QString batchFile;
  int threads = -1;
  const QStringList args = QCoreApplication::arguments();
  for (int i = 1; i < args.size(); ++i) {
    const QString& a = args.at(i);
    if (a == QLatin1String("-c") || a == QLatin1String("-d") || a == QLatin1String("-br")) {
      if (i + 1 >= args.size())
        return usage("an option without its value");
      startupArgs << a << args.at(++i);
    } else if (a == QLatin1String("--threads")) {
      bool ok = false;
      threads = i + 1 < args.size() ? args.at(++i).toInt(&ok) : 0;
      if (!ok || threads < 0)
        return usage("--threads needs a number of threads (0: all)");
    } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
      std::fputs(kUsage, stdout);
      std::fputs("Runs BATCHFILE without windows: exit 0 when every command succeeded, 1 when "
                 "any failed, 2 on a usage error.\n"
                 "  -c FILE       configuration file\n"
                 "  -d DIR        data folder\n"
                 "  -br DIR       batch folder\n"
                 "  --threads N   threads of the runs (0: all cores)\n",
                 stdout);
      return 0;
    } else if (a.startsWith(QLatin1Char('-')) || !batchFile.isEmpty()) {
      return usage(qPrintable(QStringLiteral("unexpected %1").arg(a)));
    } else {
      batchFile = a;
    }
  }
  if (batchFile.isEmpty())
    return usage("no batch file");

  resetSettingsToDefaults();
  buildColourTables();
  loadEdgeTable();
  ParamRegistry registry;
  prepareStartup(registry, startupArgs, settings());
  if (threads >= 0)
    settings().Threads = threads;

  // Empty lines are kept, so line numbers match the file's.
  QStringList lines;
  switch (readBatchFile(batchFile, lines)) {
    case BatchFileRead::CannotOpen:
      std::fprintf(stderr, "lumacresta-batch: cannot read %s\n", qPrintable(batchFile));
      return kUsageError;
    case BatchFileRead::Overlong:
      std::fprintf(stderr,
                   "lumacresta-batch: cannot read %s: a line is longer than %d bytes\n",
                   qPrintable(batchFile),
                   kMaxTextLineBytes);
      return kUsageError;
    case BatchFileRead::Done:
      break;
  }

  Session session;
  session.setThreads(settings().Threads);
  // A progress line every tenth of a long run.
  int lastTenth = -1;
  QObject::connect(&session, &Session::progress, [&lastTenth](double percent) {
    const int tenth = int(percent / 10.0);
    if (tenth != lastTenth)
      std::fprintf(stderr, "progress %.0f %%\n", percent);
    lastTenth = tenth;
  });
  BatchExecutor executor(session);
  QObject::connect(&executor, &BatchExecutor::commandFailed, [](const QString& line) {
    std::fprintf(stderr, "failed: %s\n", qPrintable(line.trimmed()));
  });
  executor.run(lines);
  return executor.failures() > 0 ? 1 : 0;
}
