#include "input/LoadTiff.h"
#include "input/TiffData.h"

#include "app/DebugLines.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaMethod>
#include <QThread>

#include <memory>

LoadTiff::LoadTiff(QObject* parent)
  : QObject(parent)
{
}

void LoadTiff::loadTiffs(QStringList files, int skip, int cutFirst, int cutLast)
{
  m_busy.store(true);
  // The main window clamps these; a zero or negative step would never end.
  const int step = skip < 1 ? 1 : skip;
  const int first = cutFirst < 0 ? 0 : cutFirst;
  const int end = files.size() - (cutLast < 0 ? 0 : cutLast);
  // A frame nobody is connected to receive would leak: it is not even read.
  const bool received = isSignalConnected(QMetaMethod::fromSignal(&LoadTiff::loaded));
  for (qint64 i = first; i < end && received && !m_cancel.load(); i += step) {
    auto frame = std::make_unique<TiffData>();
    const DebugLineMark before = threadDebugLines();
    if (frame->read(files[int(i)]))
      emit loaded(frame.release(), int(i));
    else
      emit notRead(files[int(i)], debugLineSince(before));
  }
  m_busy.store(false);
  emit finishLoadFiles();
}

void LoadTiff::shutDown(LoadTiff* loader, QThread* thread, QObject* receiver)
{
  if (loader)
    loader->cancel();
  if (thread) {
    thread->quit();
    thread->wait();
  }
  if (receiver)
    QCoreApplication::sendPostedEvents(receiver, QEvent::MetaCall);
}
