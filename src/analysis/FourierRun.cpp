#include "analysis/FourierRun.h"

#include "analysis/FourierKernel.h"
#include "analysis/PointRun.h"

#include <QDebug>

#include <cmath>

double FourierRes::correlation() const
{
  return swa / std::sqrt(std::fabs(sww * saa));
}

FourierRun::FourierRun(QObject* parent)
  : QObject(parent)
  , m_engine(std::make_unique<PointRun>())
{
  connect(m_engine.get(), &PointRun::ended, this, &FourierRun::engineEnded);
}

FourierRun::~FourierRun()
{
  m_engine.reset();
}

bool FourierRun::isRunning() const
{
  return m_active;
}

bool FourierRun::start(const AnalyzeCond* area, const StackView& stack)
{
  if (m_active)
    stop();
  const int n = stack.i1.size();
  if (!area || n == 0) {
    emit ended(false);
    return false;
  }
  qDebug().noquote() << "2da FA 1:";
  // No worker of an earlier run is left (stopped above), so the plans may
  // be made again.
  m_fourier.setUp(n);
  m_res = QVector<FourierRes>(n);
  for (int k = 0; k < n; ++k)
    m_res[k].k = k;
  m_active = true;
  auto kernel = std::make_shared<FourierKernel>(stack, m_fourier);
  m_engine->start(*area, kernel, [this](const RasterPoint&, const double* v) { record(v); });
  return true;
}

void FourierRun::stop()
{
  m_engine->stop();
}

void FourierRun::record(const double* values)
{
  const double w = values[0];
  const double* a = values + 1;
  const double ww = w * w;
  for (FourierRes& r : m_res) {
    r.sww += ww;
    r.saa += a[r.k] * a[r.k];
    r.swa += w * a[r.k];
  }
}

QString FourierRun::resLine(const FourierRes& r)
{
  const auto g = [](double v) { return QString::number(v, 'g', 6); };
  return QStringLiteral("Res %1 %2 %3 %4 %5")
    .arg(r.k)
    .arg(g(r.sww), g(r.saa), g(r.swa), g(r.correlation()));
}

void FourierRun::engineEnded(bool completed)
{
  if (!m_active)
    return;
  m_active = false;
  if (completed) {
    for (const FourierRes& r : m_res)
      qDebug().noquote() << resLine(r);
  } else {
    qDebug().noquote() << "2da FA stopped";
    m_res.clear();
  }
  emit ended(completed);
}
