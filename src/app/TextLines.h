#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// The longest line the text readers take. Spectra, energy lists, shift maps,
// configuration and batch files hold short lines; a file without line
// breaks (/dev/zero, a binary image picked by mistake) would otherwise be
// read whole into one string before a single line is looked at.
constexpr int kMaxTextLineBytes = 1 << 20;

// Reads a text device line by line, holding at most one bounded line: the
// reading stops at the end or at the first line longer than the bound.
class TextLines
{
public:
  explicit TextLines(QIODevice& device, int maxLineBytes = kMaxTextLineBytes);

  // The next line without its line break; false at the end or when the line
  // is longer than the bound (then overlong() is true and nothing more is
  // read).
  bool next(QString& line);
  bool overlong() const { return m_overlong; }

private:
  QIODevice& m_device;
  int m_max;
  QByteArray m_buffer;
  bool m_overlong = false;
};
