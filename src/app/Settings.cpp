#include "app/Settings.h"

#include "app/ParamRegistry.h"

#include <QDebug>
#include <QDir>

#include <algorithm>

Settings& settings()
{
  static Settings s;
  return s;
}

QString defaultDataRoot()
{
  const QString beamlineDefault = QStringLiteral("C:/Data");
  return QDir(beamlineDefault).exists() ? beamlineDefault : QDir::homePath();
}

void resetSettingsToDefaults()
{
  Settings& s = settings();
  s.DataRoot = defaultDataRoot();
  s.BatchRoot = defaultDataRoot();
  s.ShowAnalyzer2Button = false;
  s.Threads = 0;
}

QString configFileName(ParamRegistry& reg)
{
  QString name = QStringLiteral("config.cfg");
  if (reg.contains("-c"))
    name = reg.value("-c");
  if (reg.contains("-config"))
    name = reg.value("-config");
  return name;
}

static bool readsAsOne(const QString& text)
{
  bool ok = false;
  const int v = text.trimmed().toInt(&ok, 10);
  return ok && v == 1;
}

void applySettings(ParamRegistry& reg, Settings& s)
{
  if (reg.contains("DataRoot"))
    s.DataRoot = reg.value("DataRoot");
  if (reg.contains("-d"))
    s.DataRoot = reg.value("-d");
  if (reg.contains("BatchRoot"))
    s.BatchRoot = reg.value("BatchRoot");
  if (reg.contains("-br"))
    s.BatchRoot = reg.value("-br");
  if (reg.contains("ShowAnalyzer2Button"))
    s.ShowAnalyzer2Button = readsAsOne(reg.value("ShowAnalyzer2Button"));
  if (reg.contains("-showA2B"))
    s.ShowAnalyzer2Button = readsAsOne(reg.value("-showA2B"));
  if (reg.contains("Threads")) {
    bool ok = false;
    const QString text = reg.value("Threads");
    const int n = text.toInt(&ok);
    s.Threads = ok && n > 0 ? n : 0;
    if (!ok || n < 0)
      qDebug().noquote() << QStringLiteral("Threads : %1 is not a whole number of threads (0: "
                                           "all cores); all cores are used")
                              .arg(text);
  }
  // Read here, once: whoever starts runs is handed the count.
  s.Threads = threadsFromEnvironment(qgetenv("LUMACRESTA_THREADS"), s.Threads);
}

int threadsFromEnvironment(const QByteArray& env, int configured)
{
  bool ok = false;
  const int fromEnv = env.trimmed().toInt(&ok);
  if (ok && fromEnv > 0)
    return std::min(fromEnv, 256);
  // Set but not taken: say so, or the user believes the count was changed.
  if (!env.trimmed().isEmpty())
    qDebug().noquote() << QStringLiteral("LUMACRESTA_THREADS=%1 is not a positive whole number; %2")
                            .arg(QString::fromLocal8Bit(env.trimmed()),
                                 configured > 0
                                   ? QStringLiteral("%1 threads are used").arg(configured)
                                   : QStringLiteral("all cores are used"));
  return configured;
}

StartupOptions prepareStartup(ParamRegistry& reg, const QStringList& args, Settings& s)
{
  StartupOptions opt;
  reg.parseCommandLine(args);
  opt.configFile = configFileName(reg);
  reg.readConfigFile(opt.configFile);
  applySettings(reg, s);
  if (reg.contains("-b"))
    opt.batchFile = reg.value("-b");
  if (reg.contains("-x")) {
    reg.value("-x");
    opt.execBatch = true;
  }
  if (reg.contains("-e")) {
    reg.value("-e");
    opt.loadTranslation = false;
  }
  // A mistyped key, or a duplicate that lost to an earlier entry, should not
  // pass silently.
  for (const QString& key : reg.unusedKeys())
    qDebug().noquote() << QStringLiteral("Unused setting : ") + key;
  return opt;
}
