#include "output/SpectraSaveRun.h"

#include "analysis/PointRun.h"
#include "analysis/SpectraKernel.h"

#include <QDebug>
#include <QMetaObject>
#include <QSaveFile>

#include <limits>

namespace {

// Lines are gathered and handed to the file in pieces of about this size.
constexpr int kFlushBytes = 1 << 20;

// The raster is an indexed list of int size.
constexpr qint64 kMaxBlocks = std::numeric_limits<int>::max() / 2;

} // namespace

SpectraSaveRun::SpectraSaveRun(QObject* parent)
  : QObject(parent)
  , m_engine(std::make_unique<PointRun>())
{
  connect(m_engine.get(), &PointRun::ended, this, &SpectraSaveRun::engineEnded);
}

// The engine goes first: its threads read the kernel, not the file.
SpectraSaveRun::~SpectraSaveRun()
{
  m_engine.reset();
}

bool SpectraSaveRun::isRunning() const
{
  return m_active;
}

bool SpectraSaveRun::start(const SpectraSaveSetup* setup)
{
  if (m_active)
    stop();
  if (!setup || setup->spectra.sampler.energies() == 0) {
    emit ended(false);
    return false;
  }
  m_fileName = spectraFileName(setup->fileName);
  if (setup->grid.blocks() > kMaxBlocks) {
    qDebug().noquote() << "Save Xafs Spectra : region too large," << setup->grid.blocks()
                       << "blocks";
    emit ended(false);
    return false;
  }
  auto file = std::make_unique<QSaveFile>(m_fileName);
  if (!file->open(QIODevice::WriteOnly | QIODevice::Text)) {
    qDebug().noquote() << "Can't open" << m_fileName;
    emit ended(false);
    return false;
  }
  m_file = std::move(file);
  m_format = setup->format;
  m_shifts = setup->spectra.shifts;
  m_buffer = spectraHeader(m_format, setup->grid);
  m_buffer.reserve(kFlushBytes + (1 << 16));
  m_nextIndex = 0;
  m_writeFailed = false;
  m_active = true;
  auto kernel = std::make_shared<SpectraKernel>(setup->spectra, m_format);
  m_engine->start(
    setup->grid.cond(), kernel, [this](const RasterPoint& p, const double* v) { record(p, v); });
  return true;
}

void SpectraSaveRun::stop()
{
  if (m_engine->isRunning())
    m_engine->stop();
  else if (m_active)
    finish(false);
}

void SpectraSaveRun::record(const RasterPoint& p, const double* values)
{
  if (m_writeFailed)
    return;
  writeOutsideUpTo(p.index);
  writeLine(p, values);
  m_nextIndex = p.index + 1;
  flushIfFull();
}

void SpectraSaveRun::writeOutsideUpTo(int index)
{
  const PointRaster& raster = m_engine->raster();
  for (; m_nextIndex < index && !m_writeFailed; ++m_nextIndex) {
    writeLine(raster.at(m_nextIndex), nullptr);
    flushIfFull();
  }
}

void SpectraSaveRun::writeLine(const RasterPoint& p, const double* values)
{
  if (p.newRow)
    qDebug().noquote() << "Save Xafs Spectra : Progress" << m_engine->raster().progressAt(p.row);
  QByteArray& b = m_buffer;
  b += QByteArray::number(p.cx);
  b += ' ';
  b += QByteArray::number(p.cy);
  if (m_format != SpectraFormat::Raw) {
    b += ' ';
    appendNumberG(b, values ? values[0] : m_shifts.at(p.cx, p.cy));
  }
  const int n = values ? int(values[1]) : 0;
  const double* pair = values ? values + 2 : nullptr;
  for (int i = 0; i < n; ++i) {
    b += ' ';
    appendNumberG(b, pair[2 * i]);
    b += ' ';
    appendNumberG(b, pair[2 * i + 1]);
  }
  b += '\n';
}

void SpectraSaveRun::flushIfFull()
{
  if (m_buffer.size() < kFlushBytes || m_writeFailed)
    return;
  if (m_file->write(m_buffer) != m_buffer.size()) {
    // Disk full or the folder gone: no more lines, and the run is ended
    // from the event loop (not from inside the engine's recording).
    m_writeFailed = true;
    QMetaObject::invokeMethod(this, &SpectraSaveRun::stop, Qt::QueuedConnection);
  }
  m_buffer.clear();
}

void SpectraSaveRun::engineEnded(bool completed)
{
  if (!m_active)
    return;
  if (completed && !m_writeFailed) {
    writeOutsideUpTo(m_engine->raster().count());
    if (!m_writeFailed && m_file->write(m_buffer) != m_buffer.size())
      m_writeFailed = true;
    m_buffer.clear();
    if (!m_writeFailed && m_file->commit()) {
      finish(true);
      return;
    }
    m_writeFailed = true;
  }
  finish(false);
}

void SpectraSaveRun::finish(bool written)
{
  if (m_writeFailed)
    qDebug().noquote() << "Can't write" << m_fileName;
  else if (!written)
    qDebug().noquote() << "Save Xafs Spectra : stopped," << m_fileName << "not written";
  if (m_file && !written)
    m_file->cancelWriting();
  m_file.reset();
  m_buffer = QByteArray();
  m_active = false;
  emit ended(written);
}
