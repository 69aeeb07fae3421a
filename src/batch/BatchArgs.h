#pragma once

#include <QString>
#include <QStringList>

class QObject;
struct Hdf5StackNames;

// The arguments of one command with the conversions the language uses: a
// missing item reads as empty text or 0, a flag is an integer with 0 off.
// An unreadable number never gets here: batchNumbersValid refuses the
// command first.
class BatchArgs
{
public:
  explicit BatchArgs(const QStringList& items)
    : m_items(items)
  {
  }
  int count() const { return m_items.size(); }
  QString text(int i) const { return m_items.value(i); }
  int integer(int i) const { return text(i).toInt(); }
  double number(int i) const { return text(i).toDouble(); }
  bool flag(int i) const { return integer(i) != 0; }
  QStringList from(int i) const { return m_items.mid(i); }

private:
  const QStringList& m_items;
};

// False, with one line naming `word` and the item, when an item `word`
// reads as a number is not one (a decimal comma, a unit, a typo) or a size
// is negative; a missing item still reads as 0. Both executors ask before
// carrying a command out, so the values before stay.
// A refusal is logged and offered to `origin` (the windows' status line)
// when given.
bool batchNumbersValid(const QString& word, const QStringList& items, QObject* origin = nullptr);

// The files of `dir` matching the wildcard `pattern`, in name order. A
// folder that is not there is named, since "no files" alone hides a typo.
QStringList batchFilesOfPattern(const QString& dir, const QString& pattern);

// load_hdf5_stack FILE [data=PATH] [flat=PATH] [dark=PATH] [energy=PATH]:
// false, with a line naming `word` and what is wrong, for no file name or
// an item of another form.
bool hdf5StackArgs(const QString& word,
                   const QStringList& items,
                   QString& file,
                   Hdf5StackNames& names);
