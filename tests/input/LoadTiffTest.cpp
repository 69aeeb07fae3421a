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
// ends it (the main window's own tests cover ending it mid-load).
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
  ~LoaderOnThread() { LoadTiff::shutDown(loader, &thread, &r); }
  void load(const QStringList& files, int skip, int cutFirst, int cutLast)
  {
    QMetaObject::invokeMethod(loader, [=] { loader->loadTiffs(files, skip, cutFirst, cutLast); });
  }
};

} // namespace

TEST(LoadTiff, SkipAndCutsOnItsOwnThreadWithGaps)
{
  QVector<double> energies;
  for (int k = 0; k < 10; ++k)
    energies << 8000.0 + k;
  const QStringList files =
    stackgen::writeSimpleStack(lctest::scratchDir("load_skip"),
                               "I1",
                               stackgen::Format::Tiff,
                               4,
                               3,
                               energies,
                               [](int x, int, int k) { return quint32(k * 10 + x); });
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
  // Not rendered on the loader thread: the colour bar belongs to the GUI.
  EXPECT_TRUE(r.frames[0]->displayImage.isNull());
}
