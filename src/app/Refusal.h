#pragma once

#include <QEvent>
#include <QString>

class QObject;

// A refusal: something the user asked for that does not run. It is said
// twice: once on the debug output (the log) and once in the window where
// the user acted, so that a user who watches only the window learns of it.
class RefusalEvent : public QEvent
{
public:
  explicit RefusalEvent(const QString& text);
  static QEvent::Type eventType();
  const QString& text() const { return m_text; }

private:
  QString m_text;
};

// Logs `line` as one debug line (a fixed text the log keeps in every
// language), then offers `shown` (the line when empty, else its words in
// the window's language) to `origin` and to each of its parents in turn
// until one shows it (a window set up with showRefusalsIn). `origin` may
// be null: the log line alone. From another thread than origin's the offer
// is queued to origin's thread.
void refuse(QObject* origin, const QString& line, const QString& shown = QString());
// The window half alone, for a refusal already logged (e.g. by a run that
// has no window of its own and reports it by a signal).
void offerRefusal(QObject* origin, const QString& text);
