#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace lctest {

// Captures the Qt debug output (qDebug, qWarning, ...) while it lives, so a
// test can assert the program's fixed debug lines. Messages from every
// thread are collected; the previous handler is restored on destruction.
class MessageCapture
{
public:
  MessageCapture();
  ~MessageCapture();
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  QStringList messages() const;
  // True when some captured line equals `line` exactly.
  bool has(const QString& line) const;
  // True when some captured line contains `text`.
  bool contains(const QString& text) const;
  int count(const QString& text) const; // lines containing text
  void clear();

private:
  QtMessageHandler m_previous = nullptr;
};

} // namespace lctest
