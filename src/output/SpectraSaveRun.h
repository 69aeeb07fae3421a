#pragma once

#include "analysis/PointSpectra.h"
#include "output/SpectraScanGrid.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class PointRun;
class QSaveFile;
struct RasterPoint;

// What one per-point spectra save writes, fixed when it starts.
struct SpectraSaveSetup
{
  QString fileName; // as given; ".dat" is added when it has no extension
  SpectraFormat format = SpectraFormat::NormalizedXafs;
  SpectraScanGrid grid;
  PointSpectra spectra; // named "Body-SaveEach"
};

// Writes the spectrum of every block of a region into one text file, on the
// point-run engine: the spectra are built on every core, the lines are
// written by the owner strictly in raster order, so the file's bytes do not
// depend on the thread count. The file appears under its name only when
// every line was written (a temporary file is renamed at the end); a save
// that fails or is stopped leaves whatever was there before.
//
// Every start ends exactly once with `ended`: at the last block, by `stop`,
// by a new start, or at once when there is nothing to do (no image) or the
// file cannot be opened.
class SpectraSaveRun : public QObject
{
  Q_OBJECT

public:
  explicit SpectraSaveRun(QObject* parent = nullptr);
  ~SpectraSaveRun() override;

  PointRun& engine() const { return *m_engine; }
  bool isRunning() const;
  // The file of the current (or last) save.
  QString fileName() const { return m_fileName; }

  // Starts a save; null means no I1 image is loaded (nothing is written).
  // False, with `ended(false)` already emitted, when it does not start.
  bool start(const SpectraSaveSetup* setup);
  void stop();

signals:
  // `written`: the whole file is in place under its name.
  void ended(bool written);

private:
  void record(const RasterPoint& p, const double* values);
  // Lines of the blocks outside the stack up to (not including) `index`.
  void writeOutsideUpTo(int index);
  void writeLine(const RasterPoint& p, const double* values);
  void flushIfFull();
  void engineEnded(bool completed);
  void finish(bool written);

  std::unique_ptr<PointRun> m_engine;
  std::unique_ptr<QSaveFile> m_file;
  QString m_fileName;
  SpectraFormat m_format = SpectraFormat::NormalizedXafs;
  EnergyShiftView m_shifts;
  QByteArray m_buffer;
  int m_nextIndex = 0; // raster index of the next line to write
  bool m_writeFailed = false;
  bool m_active = false;
};
