#pragma once

#include <QObject>
#include <QStringList>

#include <atomic>

class QThread;
class TiffData;

// Turns a list of image files into frames on its own thread.
//
// Each frame read is handed over with `loaded`; the receiver owns it from
// the moment the signal is delivered. Frames are not rendered here (the
// colour bar lives on the GUI thread): the receiver calls `render` with the
// current mapping when a frame arrives.
//
// A queued `loaded` that is never delivered (its receiver destroyed first)
// would leak its frame, so the owner ends a loader with `shutDown`, which
// cancels the load, joins the thread and then delivers the frames still
// queued to the receiver before the receiver frees its frames.
class LoadTiff : public QObject
{
  Q_OBJECT

public:
  explicit LoadTiff(QObject* parent = nullptr);

  // True while loadTiffs runs; readable from any thread.
  bool isBusy() const { return m_busy.load(); }
  // Thread-safe: the running load stops before its next file, and loads
  // started later return at once, until resetCancel().
  void cancel() { m_cancel.store(true); }
  void resetCancel() { m_cancel.store(false); }
  bool isCancelled() const { return m_cancel.load(); }

  // Called on the receiver's thread (normally the GUI thread) when the
  // owner goes away: cancels, quits and waits for `thread`, then delivers
  // to `receiver` the signals the loader still had in its queue, so every
  // frame reaches the slot that frees it. `loader` must still exist; it may
  // be deleted by the thread's finished() (deleteLater) during the wait.
  static void shutDown(LoadTiff* loader, QThread* thread, QObject* receiver);

public slots:
  // Reads files[cutFirst], files[cutFirst + skip], ... below
  // files.size() - cutLast; emits `loaded` for each file read (fNo is the
  // index in `files`; unreadable files leave gaps), then `finishLoadFiles`.
  void loadTiffs(QStringList files, int skip, int cutFirst, int cutLast);

signals:
  void loaded(TiffData* data, int fNo);
  // A file that was not read, and the debug line the reader wrote about it
  // (empty when the debug output is not tapped).
  void notRead(QString file, QString reason);
  void finishLoadFiles();

private:
  std::atomic<bool> m_busy{ false };
  std::atomic<bool> m_cancel{ false };
};
