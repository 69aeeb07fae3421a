#include "app/TextItems.h"

#include <QDateTime>
#include <QDebug>

#include <cmath>

namespace {

void unclosedQuote(const QString& rest)
{
  qDebug().noquote()
    << QString("In a line [%1] item is started from quote but not ended by quote").arg(rest);
}

void unopenedQuote(const QString& rest)
{
  qDebug().noquote()
    << QString("In a line [%1] item is started from not quote but ended by quote").arg(rest);
}

} // namespace

QStringList splitItems(const QString& line)
{
  QStringList items;
  bool toldUnopened = false;
  int from = 0; // start of what takeItem would have been given
  const int n = line.size();
  for (;;) {
    int s = from;
    while (s < n && line.at(s).isSpace())
      ++s;
    if (s >= n)
      break;
    if (line.at(s) == QLatin1Char('"')) {
      const int e = line.indexOf(QLatin1Char('"'), s + 1);
      if (e < 0) {
        unclosedQuote(line.mid(from));
        items << line.mid(s + 1);
        break;
      }
      items << line.mid(s + 1, e - s - 1);
      from = e + 1;
      continue;
    }
    int e = s + 1;
    while (e < n && !line.at(e).isSpace())
      ++e;
    items << line.mid(s, e - s);
    if (!toldUnopened && items.last().endsWith(QLatin1Char('"'))) {
      toldUnopened = true;
      unopenedQuote(line.mid(from));
    }
    from = e;
  }
  return items;
}

QString takeItem(const QString& line, QString& item)
{
  int s = 0;
  while (s < line.size() && line.at(s).isSpace())
    ++s;
  if (s >= line.size()) {
    item.clear();
    return QString();
  }
  if (line.at(s) == QLatin1Char('"')) {
    const int e = line.indexOf(QLatin1Char('"'), s + 1);
    if (e >= 0) {
      item = line.mid(s + 1, e - s - 1);
      return line.mid(e + 1);
    }
    unclosedQuote(line);
    item = line.mid(s + 1);
    return QString();
  }
  int e = s + 1;
  while (e < line.size() && !line.at(e).isSpace())
    ++e;
  item = line.mid(s, e - s);
  if (item.endsWith(QLatin1Char('"')))
    unopenedQuote(line);
  return line.mid(e);
}

QString stripComment(const QString& line)
{
  bool inQuotes = false;
  for (int i = 0; i < line.size(); ++i) {
    const QChar c = line.at(i);
    if (c == QLatin1Char('"') || c == QLatin1Char('\''))
      inQuotes = !inQuotes;
    else if (c == QLatin1Char('#') && !inQuotes)
      return line.left(i);
  }
  return line;
}

void logWithTime(const QString& message)
{
  qDebug().noquote() << message + QLatin1Char(' ') +
                          QDateTime::currentDateTime().toString("yyMMdd hh:mm:ss.zzz");
}

QString withThousandsSeparators(const QString& numberText)
{
  QString text = numberText;
  int point = text.indexOf(QLatin1Char('.'));
  if (point < 0)
    point = text.size();
  // A leading sign is not a digit: "-123" stays "-123", not "-,123".
  const int first =
    (text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+'))) ? 1 : 0;
  for (int pos = point - 3; pos > first; pos -= 3)
    text.insert(pos, QLatin1Char(','));
  return text;
}

QColor standardColour(int i)
{
  static const int rgb[9][3] = { { 255, 0, 0 },   { 0, 255, 0 },   { 0, 0, 255 },
                                 { 255, 200, 0 }, { 255, 0, 200 }, { 200, 255, 0 },
                                 { 200, 0, 255 }, { 0, 255, 200 }, { 0, 200, 255 } };
  const int k = ((i % 9) + 9) % 9;
  return QColor(rgb[k][0], rgb[k][1], rgb[k][2]);
}

namespace {

double linear(double channel)
{
  return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

// Relative luminance of an sRGB colour (0 black .. 1 white).
double luminance(const QColor& c)
{
  return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

} // namespace

QColor readableColour(int i)
{
  const QColor base = standardColour(i);
  // Contrast (1 + 0.05) / (L + 0.05) >= 3 against white: L <= 0.3.
  constexpr double kMaxLuminance = 0.3;
  QColor c = base;
  for (double f = 1.0; f > 0.0 && luminance(c) > kMaxLuminance; f -= 0.02)
    c = QColor::fromRgbF(base.redF() * f, base.greenF() * f, base.blueF() * f);
  return c;
}

double numberOr(const QString& text, double fallback)
{
  bool ok = false;
  const double v = text.toDouble(&ok);
  return ok ? v : fallback;
}
