#include "input/LoadTiff.h"
#include "input/TiffData.h"

#include "StackGen.h"
#include "support/TestData.h"
#include "support/Tolerance.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Stands in for the main window: owns every frame it receives.
class Receiver : public QObject
{
public:
  std::vector<std::unique_ptr<TiffData>> frames;
  QVector<int> numbers;
  void take(TiffData* d, int fNo)
  {
    frames.emplace_back(d);
    numbers << fNo;
  }
};

// A loader on its own thread feeding a Receiver, ended as the main window
// ends it.
struct LoaderOnThread
{
  QThread thread;
  LoadTiff* loader = new LoadTiff; // deleted when the thread ends
  Receiver r;
  LoaderOnThread()
  {
    loader->moveToThread(&thread);
    QObject::connect(&thread, &QThread::finished, loader, &QObject::deleteLater);
    QObject::connect(loader, &LoadTiff::loaded, &r, &Receiver::take);
    thread.start();
  }
  ~LoaderOnThread() { end(); }
  void end()
  {
    if (thread.isRunning())
      LoadTiff::shutDown(loader, &thread, &r);
  }
  void load(const QStringList& files, int skip, int cutFirst, int cutLast)
  {
    QMetaObject::invokeMethod(loader, [=] { loader->loadTiffs(files, skip, cutFirst, cutLast); });
  }
};

QStringList tenFiles(const QString& name)
{
  QVector<double> energies;
  for (int k = 0; k < 10; ++k)
    energies << 8000.0 + k;
  return stackgen::writeSimpleStack(
    lctest::scratchDir(name), "I1", stackgen::Format::Tiff, 4, 3, energies, [](int x, int, int k) {
      return quint32(k * 10 + x);
    });
}

} // namespace

TEST(LoadTiff, SkipAndCutsOnItsOwnThreadWithGaps)
{
  QStringList files = tenFiles("load_skip");
  ASSERT_EQ(files.size(), 10);
  QFile::resize(files[4], 20); // damaged: dropped, leaving a gap
  LoaderOnThread t;
  const Receiver& r = t.r;
  QSignalSpy finished(t.loader, &LoadTiff::finishLoadFiles);
  t.load(files, 3, 1, 2);
  // The loader emits on its own thread: the signal may already be recorded.
  ASSERT_TRUE(finished.count() > 0 || finished.wait(30000));
  QCoreApplication::processEvents();
  EXPECT_EQ(r.numbers, (QVector<int>{ 1, 7 }));
  ASSERT_EQ(r.frames.size(), 2u);
  EXPECT_EQ(r.frames[1]->fileName, files[7]);
  EXPECT_CLOSE(r.frames[1]->value(2, 0), 72.0);
  EXPECT_FALSE(t.loader->isBusy());
  // Not rendered on the loader thread: the colour bar belongs to the GUI.
  EXPECT_TRUE(r.frames[0]->displayImage.isNull());
}

TEST(LoadTiff, ShutDownCancelsAndDeliversQueuedFrames)
{
  const QStringList files = tenFiles("load_cancel");
  LoaderOnThread t;
  Receiver& r = t.r;
  // Cancelled before it runs: nothing at all is read.
  t.loader->cancel();
  QSignalSpy finished(t.loader, &LoadTiff::finishLoadFiles);
  t.load(files, 1, 0, 0);
  // The loader emits on its own thread: the signal may already be recorded.
  ASSERT_TRUE(finished.count() > 0 || finished.wait(30000));
  EXPECT_TRUE(r.frames.empty());
  // A full load left undelivered in the queue: shutDown hands every frame
  // to the receiver (the sanitizer build checks that none leaks).
  t.loader->resetCancel();
  t.load(files, 1, 0, 0);
  QThread::msleep(200);
  t.end();
  EXPECT_TRUE(t.thread.isFinished());
  EXPECT_LE(r.frames.size(), 10u);
  for (size_t i = 0; i < r.frames.size(); ++i)
    EXPECT_EQ(r.numbers[int(i)], int(i));
}
