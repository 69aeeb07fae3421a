#include "session/Session.h"

#include "analysis/AnalyzeCond.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/ComponentRun.h"
#include "analysis/FourierRun.h"
#include "analysis/LcfRun.h"
#include "analysis/MapsRun.h"
#include "analysis/PointRun.h"
#include "analysis/PointSpectra.h"
#include "analysis/RaKernel.h"
#include "analysis/ReferenceOverlap.h"
#include "app/TextItems.h"
#include "calibration/CalibKernel.h"
#include "calibration/EmpFile.h"
#include "display/ColorBarPicture.h"
#include "display/ColorMap.h"
#include "input/Hdf5Stack.h"
#include "input/LoadTiff.h"
#include "input/TiffData.h"
#include "output/MapFiles.h"
#include "output/MapGrid.h"
#include "output/MapHdf5.h"
#include "output/SpectraSaveRun.h"
#include "spectrum/EdgeTable.h"
#include "stack/StackSpectra.h"

#include <QDebug>
#include <QEventLoop>
#include <QFile>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <cmath>

namespace {

// The maps of the analysis window, in its order.
const char* const kOwnMapNames[Session::OwnMapCount] = {
  "a2d Zansa",      "a2d DMut",   "a2d Rest",      "a2d Rati",      "a2d ElemsCor",
  "a2d ElemsCorTh", "Sum Up Img", "Processed Map", "E-Shift Map 1", "E-Shift Map 2",
};

// Runs `run` to its end on this thread.
void waitFor(MapsRun& run)
{
  if (!run.isRunning())
    return;
  QEventLoop loop;
  QObject::connect(&run, &MapsRun::ended, &loop, &QEventLoop::quit);
  if (run.isRunning())
    loop.exec();
}

} // namespace

RefSnapshot Session::Reference::snapshot() const
{
  // An unloaded row goes without a curve: the fit counts it unusable.
  return RefSnapshot::take(spectrum, dE, dEActive, use, victoreen);
}

QString Session::ownMapName(OwnMap which)
{
  return QString::fromLatin1(kOwnMapNames[which]);
}

Session::Session(QObject* parent)
  : QObject(parent)
  , m_shiftMap(std::make_unique<Analyzed2DRes>(QStringLiteral("E-Shift Map")))
  , m_components(std::make_unique<ComponentRun>())
  , m_fourier(std::make_unique<FourierRun>())
{
  for (int i = 0; i < OwnMapCount; ++i)
    m_ownMaps.push_back(std::make_unique<Analyzed2DRes>(ownMapName(OwnMap(i))));
  // The analysis window opens with the two rows a fit needs, the first
  // one's fraction map selected.
  row(1);
}

Session::~Session() = default;

// ---- Stacks ---------------------------------------------------------------

void Session::clearStack(bool isI1)
{
  (isI1 ? m_i1 : m_i0).clear();
  if (isI1) {
    m_width = 0;
    m_height = 0;
  }
  emit changed();
}

bool Session::loadFiles(bool isI1, const QStringList& files, bool replace)
{
  if (files.isEmpty()) {
    qDebug().noquote() << "No files to load";
    return false;
  }
  const StackOptions& opt = stackOptions(isI1);
  const QString refused = opt.rule.refusal(files, opt.skip, opt.cutFirst, opt.cutLast);
  if (!refused.isEmpty()) {
    qDebug().noquote() << refused;
    return false;
  }
  // The cuts can leave no file to read: say so before the stack is dropped.
  const qint64 cutFirst = std::max(0, opt.cutFirst);
  const qint64 cutLast = std::max(0, opt.cutLast);
  if (cutFirst + cutLast >= files.size()) {
    qDebug().noquote() << QStringLiteral(
                            "Files not loaded: cutting the first %1 and the last %2 of %3 files "
                            "leaves none")
                            .arg(cutFirst)
                            .arg(cutLast)
                            .arg(files.size());
    return false;
  }
  if (replace)
    clearStack(isI1);
  FrameStack& stack = isI1 ? m_i1 : m_i0;
  const int before = stack.size();
  // Read on a thread of its own while this one turns its event loop (the
  // windows keep drawing); the frames join the stack here, in file order.
  LoadTiff loader;
  QThread thread;
  loader.moveToThread(&thread);
  QEventLoop loop;
  connect(&loader, &LoadTiff::loaded, this, [&](TiffData* data, int fNo) {
    std::unique_ptr<TiffData> frame(data);
    if (!frame)
      return;
    frame->energy = opt.rule.energyOf(frame->fileName, fNo);
    appendFrame(isI1, std::move(frame));
  });
  connect(&loader, &LoadTiff::finishLoadFiles, &loop, &QEventLoop::quit);
  thread.start();
  const int skip = std::max(1, opt.skip);
  QMetaObject::invokeMethod(
    &loader,
    [&] { loader.loadTiffs(files, skip, int(cutFirst), int(cutLast)); },
    Qt::QueuedConnection);
  loop.exec();
  // Also after the program's loops were told to end: every frame read is
  // delivered (and owned) before the loader goes.
  LoadTiff::shutDown(&loader, &thread, this);
  if (stack.size() > before) {
    m_loadedRule[isI1] = opt.rule;
    m_ruleChangeSaid[isI1] = false;
  }
  emit changed();
  return stack.size() > before;
}

void Session::noteEnergyRules()
{
  for (const bool isI1 : { true, false }) {
    const int files = stack(isI1).size();
    const bool same = stackOptions(isI1).rule.sameEnergies(m_loadedRule[isI1]);
    if (files > 0 && !same && !m_ruleChangeSaid[isI1])
      qDebug().noquote() << energy::setupChangedLine(files);
    m_ruleChangeSaid[isI1] = !same;
  }
}

bool Session::loadHdf5Stack(const QString& file, const Hdf5StackNames& names)
{
  // Read whole before anything is dropped.
  Hdf5Stack s;
  if (!readHdf5Stack(file, names, s))
    return false;
  m_i1.clear();
  m_i0.clear();
  if (s.dark)
    m_dark = std::move(s.dark);
  // The frames come with the file's energies instead of the lists' rules.
  for (auto& frame : s.i1)
    m_i1.append(std::move(frame));
  for (auto& frame : s.i0)
    m_i0.append(std::move(frame));
  m_width = int(m_i1.at(0)->width);
  m_height = int(m_i1.at(0)->height);
  emit changed();
  return true;
}

bool Session::loadDark(const QString& file)
{
  auto frame = std::make_unique<TiffData>();
  if (!frame->read(file))
    return false;
  setDark(std::move(frame));
  return true;
}

void Session::clearDark()
{
  m_dark.reset();
  emit changed();
}

namespace {

// The incident intensities a total-I0 spectrum holds: the I0 column of a
// "9809" file (whose points are ln(I0/I1)), else the values of a column file.
QVector<double> intensitiesOf(const XafsSpectrum& s)
{
  const SpectrumPoints& i0 = s.curve(XafsSpectrum::CurveI0);
  QVector<double> values;
  for (const QPointF& p : (i0.isEmpty() ? s.points : i0).points)
    values.append(p.y());
  return values;
}

} // namespace

bool Session::loadSpectrumFile(SpectrumFile which, const QString& file, bool victoreen)
{
  auto s = std::make_unique<XafsSpectrum>();
  if (which < 0 || which >= SpectrumFileCount || !s->load(file))
    return false;
  // Without Victoreen lines the simple background (mode 1).
  if (s->size() > 0)
    s->normalize(victoreen ? 0 : 1);
  if (which != BackgroundFile)
    for (int i = 0; i < s->size(); ++i) // energy less the shift when corrected
      qDebug().noquote() << s->energy(i) << s->value(i);
  if (which == TotalI0ofI1File)
    totalI0 = intensitiesOf(*s);
  m_spectrumFiles[which] = std::move(s);
  emit changed();
  return true;
}

void Session::clearSpectrumFile(SpectrumFile which)
{
  if (which < 0 || which >= SpectrumFileCount)
    return;
  m_spectrumFiles[which].reset();
  if (which == TotalI0ofI1File)
    totalI0.clear();
  emit changed();
}

const XafsSpectrum* Session::spectrumFile(SpectrumFile which) const
{
  return (which >= 0 && which < SpectrumFileCount) ? m_spectrumFiles[which].get() : nullptr;
}

void Session::appendFrame(bool isI1, std::unique_ptr<TiffData> frame)
{
  if (!frame)
    return;
  FrameStack& stack = isI1 ? m_i1 : m_i0;
  stack.append(std::move(frame));
  if (isI1 && stack.size() == 1) {
    m_width = int(stack.at(0)->width);
    m_height = int(stack.at(0)->height);
  }
}

void Session::setDark(std::unique_ptr<TiffData> dark)
{
  m_dark = std::move(dark);
  emit changed();
}

// ---- Views for the runs ---------------------------------------------------

StackView Session::stackView() const
{
  StackView v;
  v.i1 = m_i1.pointers();
  v.i0 = m_i0.pointers();
  v.dark = m_dark.get();
  v.totalI0 = totalI0;
  v.width = m_width;
  v.height = m_height;
  v.useI0 = useI0;
  v.fluoType = fluorescence;
  return v;
}

EnergyShiftView Session::shiftView() const
{
  EnergyShiftView v;
  if (!m_shiftMap->hasData())
    return v;
  v.width = m_shiftMap->width();
  v.height = m_shiftMap->height();
  v.area = QRect(0, 0, v.width, v.height);
  v.measured = m_shiftMap->cond().blockSpan();
  v.values = m_shiftMap->data();
  return v;
}

void Session::refreshSuggestedEdge()
{
  static const char* const edges[] = { "K", "L1", "L2", "L3" };
  double eV = 0.0;
  if (suggestedEdgeIndex >= 0 && suggestedEdgeIndex < 4 &&
      lookupEdgeEnergy(suggestedElement.trimmed(), QLatin1String(edges[suggestedEdgeIndex]), eV))
    suggestedEdgeEV = QString::number(eV, 'g', 6);
}

double Session::suggestedEdge() const
{
  return suggestElm ? suggestedEdgeEV.toDouble() : -1.0;
}

PointSpectra Session::analysisSpectra() const
{
  // The energy-correction switch asks for Victoreen lines (mode 0).
  return PointSpectra(stackView(), energyCorrection ? 0 : 1, suggestedEdge(), shiftView());
}

bool Session::analyzeCond(AnalyzeCond& ac) const
{
  if (m_i1.isEmpty() || m_width <= 0 || m_height <= 0)
    return false;
  const QRectF area = region.width() > 0.0 && region.height() > 0.0
                        ? region.normalized()
                        : QRectF(0, 0, m_width, m_height);
  ac.setup(m_width, m_height, bandW, bandH, area.x(), area.y(), area.width(), area.height());
  return true;
}

// ---- Calibration ----------------------------------------------------------

bool Session::loadStandard(const QString& file, QString* why)
{
  auto standard = std::make_unique<XafsSpectrum>();
  const QString refusal = loadCalibStandard(file, m_calib.stdVictoreen ? 0 : 1, *standard);
  if (!refusal.isEmpty()) {
    if (why)
      *why = refusal;
    else
      qDebug().noquote() << refusal;
    return false;
  }
  m_calib.edgeEV = QString::number(standard->midx, 'g', 6);
  m_calib.standard = std::move(standard);
  m_calib.stdFile = file;
  emit changed();
  return true;
}

double Session::standardEdge() const
{
  return calibStandardEdge(m_calib.standard.get(), m_calib.edgeEV.toDouble(), m_calib.locate);
}

bool Session::calibrate()
{
  PointRun run;
  run.setThreadCount(m_threads);
  // Progress goes out as the signal only: whoever watches says it in its
  // own form.
  connect(
    &run, &PointRun::rowStarted, this, [this](int, double percent) { emit progress(percent); });
  if (!startCalibration(run))
    return false;
  run.waitForEnd();
  finishCalibration();
  emit changed();
  return true;
}

bool Session::startCalibration(PointRun& run, QString* why)
{
  const auto refused = [why](const char* line) {
    qDebug().noquote() << line;
    if (why)
      *why = QString::fromLatin1(line);
    return false;
  };
  if (m_i1.isEmpty())
    return refused(QT_TRANSLATE_NOOP("Refusal", "Calibration not started: no image loaded"));
  const double stdEdge = standardEdge();
  if (!std::isfinite(stdEdge))
    return refused(QT_TRANSLATE_NOOP("Refusal",
                                     "Calibration not started: no standard (load a standard "
                                     "spectrum or type its edge energy)"));
  logWithTime(QStringLiteral("Start Calibration"));
  AnalyzeCond ac;
  if (!analyzeCond(ac))
    return refused(QT_TRANSLATE_NOOP("Refusal", "Calibration not started: no image loaded"));
  m_shiftMap->reset(ac);
  const PointSpectra spectra(stackView(),
                             m_calib.targetVictoreen ? 0 : 1,
                             suggestedEdge(),
                             EnergyShiftView(),
                             QStringLiteral("Body-Calib"));
  auto kernel = std::make_shared<CalibPointKernel>(spectra, stdEdge, m_calib.locate);
  const bool inner = m_calib.innerPointType;
  Analyzed2DRes* map = m_shiftMap.get();
  run.start(ac, kernel, [map, inner](const RasterPoint& p, const double* v) {
    if (inner)
      qDebug().noquote() << kInnerPointFallback;
    map->setData(p.cx, p.cy, p.bx, p.by, v[0]);
  });
  return true;
}

void Session::finishCalibration()
{
  logWithTime(QStringLiteral("End Calibration   "));
}

bool Session::saveShiftMap(const QString& file) const
{
  EmpWriteInfo info;
  const double stdEdge = standardEdge();
  info.stdEdgeEnergy = std::isfinite(stdEdge) ? stdEdge : 0.0;
  info.spacing = m_calib.spacing;
  info.stdFileName = m_calib.stdFile;
  return writeEmpFile(file, info, m_shiftMap->cond(), m_shiftMap->data());
}

bool Session::readShiftMapFile(const QString& file, Analyzed2DRes& map) const
{
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
    qDebug().noquote() << "Can not open" << file;
    return false;
  }
  QTextStream in(&f);
  const EMPHeader h = readEmpHeader(in);
  if (!h.valid) {
    qDebug().noquote() << "Invalid Energy Map Data File : " + file;
    return false;
  }
  if (!empFitsImage(h, !m_i1.isEmpty(), m_width, m_height))
    return false;
  const double edgeField = m_calib.edgeEV.toDouble();
  logWithTime(QStringLiteral("Start Reading EMP file "));
  QVector<double> values;
  if (!readEmpValues(in, h, edgeField > 0.0 ? edgeField : h.stdEdgeEnergy, values))
    return false;
  map.reset(empRaster(h));
  for (int y = 0; y < h.height; ++y)
    for (int x = 0; x < h.width; ++x)
      map.setData(x, y, 0, 0, values[y * h.width + x]);
  logWithTime(QStringLiteral("End Reading EMP file   "));
  return true;
}

bool Session::loadShiftMap(const QString& file, QString* shownWhy)
{
  // Read aside first: a map that cannot be applied leaves the one there.
  Analyzed2DRes loaded(m_shiftMap->name());
  if (!readShiftMapFile(file, loaded))
    return false;
  AnalyzeCond area;
  if (analyzeCond(area)) {
    EnergyShiftView v;
    v.width = loaded.width();
    v.height = loaded.height();
    v.area = QRect(0, 0, v.width, v.height);
    v.measured = loaded.cond().blockSpan();
    v.values = loaded.data();
    const QString gap = shiftMapGap(v, area);
    if (!gap.isEmpty()) {
      qDebug().noquote() << QStringLiteral("Energy map not loaded: ") + gap + " : " + file;
      if (shownWhy)
        *shownWhy = tr("Energy map not loaded: %1 : %2").arg(shiftMapGap(v, area, true), file);
      return false;
    }
  }
  *m_shiftMap = loaded;
  emit changed();
  return true;
}

void Session::clearShiftMap()
{
  m_shiftMap->clear();
  emit changed();
}

bool Session::removeShiftOutliers()
{
  if (!m_shiftMap->hasData()) {
    qDebug().noquote() << kNoShiftMapLine;
    return false;
  }
  logWithTime(QStringLiteral("Start Normalize E Shift"));
  ::removeShiftOutliers(*m_shiftMap);
  logWithTime(QStringLiteral("End Normalize E Shift  "));
  emit changed();
  return true;
}

// ---- LCF ------------------------------------------------------------------

Session::Reference& Session::row(int i)
{
  while (int(m_refs.size()) <= i) {
    Reference r;
    r.amount = std::make_unique<Analyzed2DRes>(QStringLiteral("LCF Ref 1"));
    r.fraction = std::make_unique<Analyzed2DRes>(QStringLiteral("LCF Ref 2"));
    const int no = int(m_refs.size()) + 1;
    r.amount->setLabel(QStringLiteral("LCF Ref %1 Amount").arg(no));
    r.fraction->setLabel(QStringLiteral("LCF Ref %1 Fraction").arg(no));
    m_refs.push_back(std::move(r));
  }
  return m_refs[size_t(i)];
}

bool Session::setReference(int i, bool use, double dE, const QString& file, bool victoreen)
{
  // A row number from a batch file must not make thousands of rows (each
  // with two maps of the image's size); only the row after the last is
  // added, as "Add Ref" does, never empty rows in between.
  if (i < 0 || i > int(m_refs.size()) || i >= kMaxReferences) {
    qDebug().noquote() << QStringLiteral("No LCF reference %1").arg(i);
    return false;
  }
  Reference& r = row(i);
  r.use = use;
  // The row's field holds six digits; the shift is what the field says.
  r.dE = QString::number(dE, 'g', 6).toDouble();
  r.dEActive = true;
  r.victoreen = victoreen;
  r.file = file;
  r.amount->setSource(file);
  r.fraction->setSource(file);
  if (loadReference(i, file))
    return true;
  // The row names the new file now: the old file's spectrum goes with it.
  r.spectrum = XafsSpectrum();
  emit changed();
  return false;
}

bool Session::loadReference(int i, const QString& file)
{
  Reference& r = row(i);
  XafsSpectrum loaded;
  // A file that cannot be read has been named by the reader already.
  const bool read = loaded.load(file);
  if (!read || loaded.size() < 2) {
    if (read)
      qDebug().noquote() << "Reference needs at least two points: " + file;
    return false;
  }
  loaded.normalize(r.victoreen ? 0 : 1);
  r.spectrum = loaded;
  r.file = file;
  r.amount->setSource(file);
  r.fraction->setSource(file);
  emit changed();
  return true;
}

bool Session::lcfSetup(AnalyzeCond& ac, LcfRunSetup& setup, LcfRunMaps& maps) const
{
  const bool haveImage = analyzeCond(ac);
  if (haveImage)
    setup.spectra = analysisSpectra();
  for (const Reference& r : m_refs)
    setup.refs.append(r.snapshot());
  setup.mlcf = mlcf;
  setup.fit = fit;
  for (const Reference& r : m_refs) {
    maps.amounts.append(r.amount.get());
    maps.fractions.append(r.fraction.get());
  }
  maps.zansa = m_ownMaps[ZansaMap].get();
  return haveImage;
}

bool Session::runLcf()
{
  AnalyzeCond ac;
  LcfRunSetup setup;
  LcfRunMaps maps;
  const bool haveImage = lcfSetup(ac, setup, maps);
  if (haveImage) {
    const ReferenceOverlap o = checkReferenceOverlap(
      setup.refs, setup.spectra.at((ac.x0 + ac.x1) / 2, (ac.y0 + ac.y1) / 2, ac.bx, ac.by));
    if (!o.line.isEmpty()) // misses or repeats
      qDebug().noquote() << o.line;
  }
  LcfRun run;
  run.engine().setThreadCount(m_threads);
  connect(&run, &LcfRun::progress, this, &Session::progress);
  bool ended = false;
  QEventLoop loop;
  connect(&run, &LcfRun::ended, &loop, [&] {
    ended = true;
    loop.quit();
  });
  const bool started = run.start(haveImage ? &ac : nullptr, setup, maps);
  if (started && !ended)
    loop.exec();
  emit changed();
  return started;
}

// ---- Residual absorption ------------------------------------------------

bool Session::runResidual()
{
  MapsRun run(QStringLiteral("Residual absorption analysis"));
  run.engine().setThreadCount(m_threads);
  connect(&run.engine(), &PointRun::rowStarted, this, [this](int row, double percent) {
    qDebug().noquote() << QStringLiteral("Residual absorption row %1").arg(row);
    emit progress(percent);
  });
  QString outside;
  const bool started = startResidual(run, &outside);
  if (!outside.isEmpty())
    qDebug().noquote() << outside;
  if (!started)
    return false;
  waitFor(run);
  finishResidual();
  emit changed();
  return run.completed();
}

bool Session::startResidual(MapsRun& run, QString* outside)
{
  AnalyzeCond ac;
  if (!analyzeCond(ac)) {
    run.refuse(QString::fromLatin1(
      QT_TRANSLATE_NOOP("Refusal", "Residual absorption analysis not started: no image loaded")));
    return false;
  }
  PointSpectra spectra = analysisSpectra();
  spectra.name = QStringLiteral("Body-RaA");
  if (run.refuseShiftGap(spectra.shifts, ac))
    return false;
  if (outside)
    *outside = residualEnergyOutside(spectra, raEnergy);
  run.start(ac,
            std::make_shared<RaKernel>(spectra, raEnergy, raFactor),
            { m_ownMaps[DMutMap].get(), m_ownMaps[RestMap].get() });
  return true;
}

void Session::finishResidual()
{
  const Analyzed2DRes& dmut = *m_ownMaps[DMutMap];
  const Analyzed2DRes& rest = *m_ownMaps[RestMap];
  if (!rest.hasData())
    return;
  const int replaced = fillResidualRatio(rest, dmut, *m_ownMaps[RatiMap]);
  if (replaced > 0)
    qDebug().noquote()
      << QStringLiteral("a2d Rati: %1 pixels without a finite ratio are set to 0").arg(replaced);
}

// ---- The spectrum at the position ---------------------------------------

XafsSpectrum Session::spectrumAtPosition() const
{
  // A point inside a shift map is corrected by its shift.
  const double shift =
    m_shiftMap->hasData() ? m_shiftMap->valueAt(position.x(), position.y()) : 0.0;
  return XafsSpectrum(spectrumAt(stackView(), position.x(), position.y(), bandW, bandH),
                      QStringLiteral("body-show"),
                      energyCorrection ? 0 : 1,
                      shift,
                      suggestedEdge(),
                      preEdgeEnd.toDouble(),
                      postEdgeStart.toDouble());
}

bool Session::saveSpectra(const QString& file) const
{
  if (file.isEmpty())
    return false;
  bool written = false;
  QStringList unwritable;
  const auto write =
    [&written, &unwritable](const XafsSpectrum& spectrum, const QString& name, bool applyShift) {
      if (spectrum.writeText(name, applyShift))
        written = true;
      else
        unwritable << name;
    };
  const XafsSpectrum s = spectrumAtPosition();
  if (!s.points.isEmpty())
    write(s, taggedFileName(file, QStringLiteral("T")), true);
  if (m_calib.standard && !m_calib.standard->points.isEmpty())
    write(*m_calib.standard, taggedFileName(file, QStringLiteral("std")), false);
  // A spectrum that was there but could not be written is not "no spectrum".
  for (const QString& name : unwritable)
    qDebug().noquote() << "Can't write spectrum file : " + name;
  if (!written && unwritable.isEmpty())
    qDebug().noquote() << "No spectrum to save";
  return written && unwritable.isEmpty();
}

// ---- Fourier analysis -----------------------------------------------------

bool Session::startFourier()
{
  AnalyzeCond ac;
  if (!analyzeCond(ac)) {
    qDebug().noquote() << "Fourier analysis not started: no image loaded";
    return false;
  }
  return m_fourier->start(&ac, stackView());
}

bool Session::runFourier()
{
  m_fourier->engine().setThreadCount(m_threads);
  bool completed = false;
  bool ended = false;
  QEventLoop loop;
  const auto done = connect(m_fourier.get(), &FourierRun::ended, &loop, [&](bool ok) {
    completed = ok;
    ended = true;
    loop.quit();
  });
  if (startFourier() && !ended)
    loop.exec();
  disconnect(done);
  emit changed();
  return completed;
}

const QVector<FourierRes>& Session::fourierResults() const
{
  return m_fourier->results();
}

// ---- Principal components and clusters ----------------------------------

bool Session::startComponents(int components, int clusters, bool autoScores)
{
  AnalyzeCond ac;
  const bool haveImage = analyzeCond(ac);
  const ComponentSetup setup = componentSetup(haveImage ? analysisSpectra() : PointSpectra(),
                                              fit.sE0,
                                              fit.eE0,
                                              components,
                                              clusters,
                                              autoScores);
  return m_components->start(haveImage ? &ac : nullptr, setup);
}

bool Session::runComponents(int components, int clusters, bool autoScores)
{
  m_components->engine().setThreadCount(m_threads);
  const bool started = startComponents(components, clusters, autoScores);
  if (started)
    m_components->waitForEnd();
  emit changed();
  return started;
}

bool Session::saveClusterSpectra(const QString& base) const
{
  return m_components->saveClusterSpectra(base);
}

// ---- Spectra of every block ---------------------------------------------

bool Session::saveEachSpectrum(const QString& file)
{
  SpectraSaveRun run;
  run.engine().setThreadCount(m_threads);
  bool written = false;
  QEventLoop loop;
  connect(&run, &SpectraSaveRun::ended, &loop, [&](bool ok) {
    written = ok;
    loop.quit();
  });
  if (m_i1.isEmpty()) {
    qDebug().noquote() << "Spectra not saved: no image loaded";
    run.start(nullptr);
    return false;
  }
  SpectraSaveSetup setup;
  setup.fileName = file;
  setup.format = spectraFormat;
  setup.grid = SpectraScanGrid::from(m_width,
                                     m_height,
                                     bandW,
                                     bandH,
                                     region.width() > 0.0 && region.height() > 0.0
                                       ? region.normalized()
                                       : QRectF(0, 0, m_width, m_height));
  setup.spectra = PointSpectra(stackView(),
                               energyCorrection ? 0 : 1,
                               suggestedEdge(),
                               shiftView(),
                               QStringLiteral("Body-SaveEach"));
  connect(&run.engine(), &PointRun::rowStarted, this, [this](int, double percent) {
    emit progress(percent);
  });
  if (run.start(&setup) && run.isRunning())
    loop.exec();
  return written;
}

// ---- Maps and saving -----------------------------------------------------

void Session::selectionChanged()
{
  m_chosen = nullptr;
  emit changed();
}

void Session::setMapChoice(const MapChoice& c)
{
  m_choice = c;
  selectionChanged();
}

bool Session::selectLcfMap(int r, int type)
{
  if (r < 0 || r >= int(m_refs.size())) {
    qDebug().noquote() << QStringLiteral("No LCF reference %1").arg(r);
    return false;
  }
  m_choice.section = LcfSection;
  m_choice.zansa = false;
  m_choice.reference = r;
  m_choice.amount = type == 0;
  selectionChanged();
  return true;
}

bool Session::selectImage(int id)
{
  if (id < 0 || id > 8) {
    qDebug().noquote() << QStringLiteral("No image button %1").arg(id);
    return false;
  }
  if (id <= ProcMapsSection) {
    m_choice.section = Section(id);
    // The residual box is a check box no other button clears: choosing the
    // LCF section itself means its reference maps again.
    if (id == LcfSection)
      m_choice.zansa = false;
  } else if (id <= 7) {
    m_choice.section = ResidualSection;
    const int shown[] = { RestMap, DMutMap, RatiMap };
    m_choice.residual = shown[id - 5];
  } else {
    m_choice.section = LcfSection;
    m_choice.zansa = true;
  }
  selectionChanged();
  return true;
}

Analyzed2DRes* Session::currentMap() const
{
  if (m_chosen)
    return m_chosen;
  Analyzed2DRes* chosen = nullptr;
  switch (m_choice.section) {
    case LcfSection:
      if (m_choice.zansa)
        chosen = ownMap(ZansaMap);
      else if (m_choice.reference >= 0 && m_choice.reference < int(m_refs.size()))
        chosen = m_choice.amount ? m_refs[size_t(m_choice.reference)].amount.get()
                                 : m_refs[size_t(m_choice.reference)].fraction.get();
      break;
    case ResidualSection: {
      // Shown once it holds values.
      Analyzed2DRes* m = ownMap(OwnMap(m_choice.residual));
      if (m->hasData())
        chosen = m;
      break;
    }
    case ElemSection:
      if (m_elemKind == 7)
        chosen = ownMap(ElemsCorMap);
      else if (m_elemKind == 8)
        chosen = ownMap(ElemsCorThMap);
      else if (m_shownElem >= 0 && m_shownElem < int(m_elems.size()))
        chosen = m_elems[size_t(m_shownElem)].maps[m_elemKind].get();
      break;
    case SumUpSection:
      chosen = ownMap(SumUpMap);
      break;
    case ProcMapsSection:
      chosen = ownMap(OwnMap(m_choice.processing));
      break;
  }
  return chosen ? chosen : ownMap(ZansaMap);
}

QVector<const Analyzed2DRes*> Session::allMaps() const
{
  QVector<const Analyzed2DRes*> maps;
  for (const auto& m : m_ownMaps)
    maps.append(m.get());
  for (const Reference& r : m_refs) {
    maps.append(r.amount.get());
    maps.append(r.fraction.get());
  }
  for (const ElemRow& e : m_elems)
    for (const auto& m : e.maps)
      maps.append(m.get());
  for (const Analyzed2DRes* m : m_components->maps())
    maps.append(m);
  maps.append(m_shiftMap.get());
  return maps;
}

bool Session::selectMapByName(const QString& name)
{
  // The components' maps first, then the analysis window's.
  QVector<const Analyzed2DRes*> maps;
  for (const Analyzed2DRes* m : m_components->maps())
    maps.append(m);
  for (const Analyzed2DRes* m : allMaps())
    if (m != m_shiftMap.get())
      maps.append(m);
  for (const Analyzed2DRes* map : maps)
    if (map && map->name() == name) {
      m_chosen = const_cast<Analyzed2DRes*>(map);
      emit changed();
      return true;
    }
  qDebug().noquote() << QStringLiteral("No map named %1").arg(name);
  return false;
}

void Session::applyScale()
{
  applyScale(*currentMap());
}

void Session::applyScale(Analyzed2DRes& map)
{
  double lo = scale.min, hi = scale.max;
  if (&map == ownMap(DMutMap)) {
    lo = scale.dmutMin;
    hi = scale.dmutMax;
  } else if (&map == ownMap(RatiMap)) {
    lo = scale.ratioMin;
    hi = scale.ratioMax;
  }
  map.setFixedScale(scale.fixed);
  map.setScale(lo, hi);
  emit changed();
}

bool Session::saveData(const QString& file)
{
  const Analyzed2DRes* map = currentMap();
  const int index = map ? std::max(0, map->no()) : 0;
  if (save.kind == SaveKind::Hdf5) {
    QVector<const Analyzed2DRes*> maps;
    for (const Analyzed2DRes* m : allMaps())
      if (m->hasData())
        maps.append(m);
    if (maps.isEmpty()) {
      qDebug().noquote() << "No map to save";
      return false;
    }
    return writeMapsHdf5(hdf5MapFileName(file), maps);
  }
  if (save.kind == SaveKind::Text) {
    qDebug().noquote() << "selected text";
    if (!map || !map->hasData()) {
      qDebug().noquote() << "No map to save";
      return false;
    }
    return writeMapText(*map,
                        numberedFileName(file, index, QStringLiteral("dat")),
                        save.commaSeparated,
                        save.xyValue);
  }
  qDebug().noquote() << "selected tiff";
  if (!map || !map->hasData()) {
    qDebug().noquote() << "No map to save";
    return false;
  }
  MapSamples16 written;
  if (!writeTiff(*map, numberedFileName(file, index, QStringLiteral("tif")), written))
    return false;
  return saveImageFile(colorBarPicture(colourBar, written.scaleMin, written.scaleMax),
                       colourBarFileName(file, index));
}

bool Session::writeTiff(const Analyzed2DRes& map, const QString& name, MapSamples16& written)
{
  qDebug().noquote() << "saveDataAsTiff";
  written = tiffDataForSave(
    map, save.tiffFixedScale, save.tiffScaleMin, save.tiffScaleMax, save.tiffAsAnalyzed);
  const_cast<Analyzed2DRes&>(map).setSavedCount(written.values.size());
  if (!writeMapTiff(name, written.width, written.height, written.values)) {
    qDebug().noquote() << "Can't write" << name;
    return false;
  }
  return true;
}

bool Session::saveDataAsTiff(const QString& file, int index)
{
  const Analyzed2DRes* map = currentMap();
  if (!map->hasData()) {
    qDebug().noquote() << "No map to save";
    return false;
  }
  MapSamples16 written;
  return writeTiff(*map, numberedFileName(file, index, QStringLiteral("tif")), written);
}
