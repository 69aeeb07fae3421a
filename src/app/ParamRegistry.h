#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

// The start-up parameter registry: command-line options and configuration
// lines, kept in the order they were added. Lookups go by exact key and the
// first entry added for a key wins, so the command line (added first)
// overrides the configuration file.
class ParamRegistry
{
public:
  struct Entry
  {
    QString key;
    QString upperKey;
    QString value; // first value item
    QString rest;  // every value item, as text
    char used = 0; // set to 1 when start-up reads the entry
  };

  void add(const QString& key, const QString& value, const QString& rest);

  // Adds every option of the command line (argv[0] included in the scan).
  void parseCommandLine(const QStringList& args);
  void parseCommandLine(int argc, char** argv);

  // Adds every setting line of a configuration file. Returns false and logs
  // "Can't open config file : <name>" when the file cannot be opened.
  bool readConfigFile(const QString& fileName);

  // Exact, case-sensitive lookups in the first-occurrence view. value() and
  // rest() mark the entry read.
  bool contains(const QString& key) const;
  QString value(const QString& key);
  QString rest(const QString& key);

  // First entry for a key compared in upper case; -1 when absent.
  int indexOfUpper(const QString& key) const;

  const QVector<Entry>& entries() const { return m_entries; }
  // Keys of entries that nobody read, in the order added.
  QStringList unusedKeys() const;
  void clear();

private:
  QVector<Entry> m_entries;
  QHash<QString, int> m_first;      // exact key -> index of first entry
  QHash<QString, int> m_firstUpper; // upper-cased key -> index of first entry
};
