#include "batch/BatchLoops.h"

#include <QStringList>
#include <QtGlobal>

namespace {

QString padded(qint64 value, const QString& start)
{
  QString digits = QString::number(qAbs(value));
  const bool pad = start.size() >= 2 && start.startsWith(QLatin1Char('0'));
  const int width = start.size() - (value < 0 ? 1 : 0);
  // Zeros rather than the start's leading characters: counting "010" down
  // must give "009", not "019".
  if (pad && digits.size() < width)
    digits = QString(width - digits.size(), QLatin1Char('0')) + digits;
  return value < 0 ? QLatin1Char('-') + digits : digits;
}

} // namespace

LoopStep nextLoopValue(const LoopRecord& loop)
{
  // 64-bit sums of 32-bit values cannot overflow.
  const qint64 start = loop.start.toInt();
  const qint64 end = loop.end.toInt();
  const qint64 current = loop.current.toInt();
  qint64 step = qAbs(static_cast<qint64>(loop.step.toInt()));
  if (step == 0)
    step = 1;
  LoopStep r;
  const qint64 next = start >= end ? current - step : current + step;
  r.again = start >= end ? next >= end : next <= end;
  if (r.again)
    r.value = padded(next, loop.start);
  return r;
}

QString loopNumbersNote(const LoopRecord& loop)
{
  QStringList bad;
  const auto check = [&bad](const char* what, const QString& text) {
    bool ok = false;
    text.toInt(&ok);
    if (!ok)
      bad << QStringLiteral("%1 \"%2\"").arg(QLatin1String(what), text);
  };
  check("start", loop.start);
  check("end", loop.end);
  if (bad.isEmpty())
    return QString();
  return QStringLiteral(":for %1 : %2 %3 (loops count whole numbers, not letters); read as 0")
    .arg(loop.name,
         bad.join(QStringLiteral(", ")),
         bad.size() > 1 ? QStringLiteral("are not whole numbers")
                        : QStringLiteral("is not a whole number"));
}

QString substituteLoopVariables(const QString& text,
                                const QVector<LoopRecord>& loops,
                                int limit,
                                bool* tooLong)
{
  QString out;
  int i = 0;
  bool over = false;
  while (i < text.size() && !over) {
    const LoopRecord* hit = nullptr;
    for (const LoopRecord& l : loops) {
      if (!l.form.isEmpty() && text.midRef(i).startsWith(l.form)) {
        hit = &l;
        break;
      }
    }
    // Checked before appending: a single value may itself be a MB long.
    const int add = hit ? hit->current.size() : 1;
    over = qint64(out.size()) + add > limit;
    if (over)
      break;
    if (hit) {
      out += hit->current;
      i += hit->form.size();
    } else {
      out += text.at(i++);
    }
  }
  if (tooLong)
    *tooLong = over;
  return out;
}
