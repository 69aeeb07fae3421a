#include "app/Refusal.h"

#include <QCoreApplication>
#include <QDebug>
#include <QObject>
#include <QThread>

RefusalEvent::RefusalEvent(const QString& text)
  : QEvent(eventType())
  , m_text(text)
{
  // Unaccepted until a window shows it, so the offer goes on to the parent.
  ignore();
}

QEvent::Type RefusalEvent::eventType()
{
  static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
  return type;
}

namespace {

void offerHere(QObject* origin, const QString& text)
{
  for (QObject* o = origin; o; o = o->parent()) {
    RefusalEvent e(text);
    QCoreApplication::sendEvent(o, &e);
    if (e.isAccepted())
      return;
  }
}

} // namespace

void offerRefusal(QObject* origin, const QString& text)
{
  if (!origin)
    return;
  if (origin->thread() == QThread::currentThread()) {
    offerHere(origin, text);
    return;
  }
  // The context object drops the call when origin is gone by then.
  QMetaObject::invokeMethod(
    origin, [origin, text] { offerHere(origin, text); }, Qt::QueuedConnection);
}

void refuse(QObject* origin, const QString& line, const QString& shown)
{
  qDebug().noquote() << line;
  offerRefusal(origin, shown.isEmpty() ? line : shown);
}
