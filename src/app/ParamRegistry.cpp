#include "app/ParamRegistry.h"

#include "app/TextItems.h"
#include "app/TextLines.h"

#include <QDebug>
#include <QFile>
#include <QTextStream>

void ParamRegistry::add(const QString& key, const QString& value, const QString& rest)
{
  Entry e;
  e.key = key;
  e.upperKey = key.toUpper();
  e.value = value;
  e.rest = rest;
  const int index = m_entries.size();
  m_entries.append(e);
  if (!m_first.contains(e.key))
    m_first.insert(e.key, index);
  if (!m_firstUpper.contains(e.upperKey))
    m_firstUpper.insert(e.upperKey, index);
}

void ParamRegistry::parseCommandLine(const QStringList& args)
{
  int i = 0;
  while (i < args.size()) {
    const QString& arg = args.at(i);
    if (!arg.startsWith(QLatin1Char('-'))) {
      ++i; // a word that follows no key
      continue;
    }
    QString value;
    QStringList restItems;
    int j = i + 1;
    if (j < args.size() && !args.at(j).startsWith(QLatin1Char('-')))
      value = args.at(j);
    while (j < args.size() && !args.at(j).startsWith(QLatin1Char('-')))
      restItems << args.at(j++);
    add(arg, value, restItems.join(QLatin1Char(' ')));
    i = j;
  }
}

void ParamRegistry::parseCommandLine(int argc, char** argv)
{
  QStringList args;
  for (int i = 0; i < argc; ++i)
    args << QString::fromLocal8Bit(argv[i]);
  parseCommandLine(args);
}

bool ParamRegistry::readConfigFile(const QString& fileName)
{
  QFile f(fileName);
  if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
    qDebug().noquote() << QStringLiteral("Can't open config file : ") + fileName;
    return false;
  }
  // Bounded lines: a file without line breaks is refused after one of them
  // instead of being read whole.
  TextLines in(f);
  QString text;
  while (in.next(text)) {
    const QString line = stripComment(text);
    if (line.simplified().isEmpty())
      continue;
    QString key;
    const QString afterKey = takeItem(line, key);
    QString value;
    takeItem(afterKey, value);
    add(key, value, afterKey);
  }
  if (in.overlong()) {
    qDebug().noquote() << QStringLiteral(
                            "Config file not read past a line longer than %1 bytes : %2")
                            .arg(kMaxTextLineBytes)
                            .arg(fileName);
    return false;
  }
  return true;
}

bool ParamRegistry::contains(const QString& key) const
{
  return m_first.contains(key);
}

QString ParamRegistry::value(const QString& key)
{
  const auto it = m_first.constFind(key);
  if (it == m_first.constEnd())
    return QString();
  m_entries[*it].used = 1;
  return m_entries.at(*it).value;
}

QString ParamRegistry::rest(const QString& key)
{
  const auto it = m_first.constFind(key);
  if (it == m_first.constEnd())
    return QString();
  m_entries[*it].used = 1;
  return m_entries.at(*it).rest;
}

int ParamRegistry::indexOfUpper(const QString& key) const
{
  return m_firstUpper.value(key.toUpper(), -1);
}

QStringList ParamRegistry::unusedKeys() const
{
  QStringList keys;
  for (const Entry& e : m_entries) {
    if (!e.used)
      keys << e.key;
  }
  return keys;
}

void ParamRegistry::clear()
{
  m_entries.clear();
  m_first.clear();
  m_firstUpper.clear();
}
