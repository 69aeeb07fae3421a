#pragma once

#include <QByteArray>
#include <QString>

class ParamRegistry;

// Process-wide settings, fixed at start-up before the main window exists
// and only read afterwards.
struct Settings
{
  QString DataRoot;
  QString BatchRoot;
  bool ShowAnalyzer2Button = false;
  // Threads of the runs over an area; 0 uses every hardware thread. The
  // environment variable LUMACRESTA_THREADS wins over the configuration
  // (applySettings resolves both); start-up hands it to whoever runs.
  int Threads = 0;
};

Settings& settings();

// "C:/Data" where that folder exists (the beamline PCs' convention),
// otherwise the user's home folder.
QString defaultDataRoot();
void resetSettingsToDefaults();

// What start-up does besides the settings, read from the registry.
struct StartupOptions
{
  QString configFile = QStringLiteral("config.cfg");
  QString batchFile;
  bool execBatch = false;
  bool loadTranslation = true;
};

// Configuration file name: "config.cfg", then -c, then -config.
QString configFileName(ParamRegistry& reg);
// Applies DataRoot/BatchRoot/ShowAnalyzer2Button from the registry: the
// configuration key first, then the command-line option.
void applySettings(ParamRegistry& reg, Settings& s);
// LUMACRESTA_THREADS when it holds a positive number (at most 256), else
// `configured`.
int threadsFromEnvironment(const QByteArray& env, int configured);
// The whole headless part of start-up: parse, read the configuration,
// apply the settings, and log one line per entry nobody read.
StartupOptions prepareStartup(ParamRegistry& reg, const QStringList& args, Settings& s);
