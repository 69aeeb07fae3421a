#include "StackGen.h"

#include <QDir>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <random>

namespace stackgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Gaussian deviates by Box-Muller on mt19937, whose sequence is fixed by the
// standard, so a seed gives the same stack with every compiler.
class Noise
{
public:
  explicit Noise(quint32 seed)
    : m_engine(seed)
  {
  }
  double gauss()
  {
    const double u1 = (double(m_engine()) + 1.0) / 4294967296.0;
    const double u2 = double(m_engine()) / 4294967296.0;
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * kPi * u2);
  }

private:
  std::mt19937 m_engine;
};

quint32 toCount(double v, Noise* noise)
{
  if (noise)
    v += std::sqrt(std::max(v, 0.0)) * noise->gauss();
  return quint32(std::clamp(std::round(v), 0.0, 65535.0));
}

bool writeText(const QString& path, const QString& text)
{
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
    return false;
  const QByteArray bytes = text.toUtf8();
  return f.write(bytes) == bytes.size() && f.commit();
}

QString grid(const QString& title, int width, int height, const QVector<double>& values)
{
  QString text =
    QString("# %1\n# %2 columns x %3 rows, row 0 first\n").arg(title).arg(width).arg(height);
  for (int y = 0; y < height; ++y) {
    QStringList row;
    for (int x = 0; x < width; ++x)
      row << QString::number(values[y * width + x], 'g', 10);
    text += row.join(' ') + '\n';
  }
  return text;
}

} // namespace

double componentMu(const Component& c, double e)
{
  const double background = c.preEdge * std::pow(c.edge / e, 3.0);
  const double step = c.step * (0.5 + std::atan((e - c.edge) / c.edgeWidth) / kPi);
  const double half = c.whiteLineWidth / 2.0;
  const double d = e - c.edge - c.whiteLineOffset;
  const double line = c.whiteLine * half * half / (d * d + half * half);
  return background + step + line;
}

StackSpec completed(const StackSpec& in)
{
  StackSpec s = in;
  s.width = std::max(s.width, 1);
  s.height = std::max(s.height, 1);
  const int w = s.width;
  const int h = s.height;
  const int n = w * h;
  if (s.energies.isEmpty())
    for (int k = 0; k <= 60; ++k)
      s.energies << 8940.0 + 2.0 * k;
  if (s.components.isEmpty()) {
    Component a;
    a.name = "A";
    a.whiteLine = 0.3;
    Component b;
    b.name = "B";
    b.edge = 8984.0;
    b.whiteLine = 1.0;
    s.components = { a, b };
  }
  const int m = s.components.size();
  if (s.fractions.size() != m) {
    s.fractions = QVector<QVector<double>>(m, QVector<double>(n));
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const double f0 = w > 1 ? 1.0 - double(x) / (w - 1) : 1.0;
        s.fractions[0][y * w + x] = f0;
        for (int c = 1; c < m; ++c)
          s.fractions[c][y * w + x] = (1.0 - f0) / (m - 1);
      }
    }
  }
  if (s.thickness.size() != n) {
    s.thickness = QVector<double>(n);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const double u = w > 1 ? 2.0 * x / (w - 1) - 1.0 : 0.0;
        const double v = h > 1 ? 2.0 * y / (h - 1) - 1.0 : 0.0;
        s.thickness[y * w + x] = 0.6 + 0.6 * (1.0 - u * u) * (1.0 - v * v);
      }
    }
  }
  if (s.shift.size() != n) {
    s.shift = QVector<double>(n);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        s.shift[y * w + x] = h > 1 ? s.shiftSpan * (double(y) / (h - 1) - 0.5) : 0.0;
  }
  return s;
}

void makeFoil(StackSpec& plan)
{
  Component a;
  a.name = "A";
  a.whiteLine = 0.3;
  plan.components = { a };
  plan.fractions = { QVector<double>(plan.width * plan.height, 1.0) };
}

QVector<double> calibrationCheckShift(int width, int height)
{
  const int w = std::max(width, 1);
  const int h = std::max(height, 1);
  QVector<double> shift(w * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool inBlock = x >= w / 3 && x < 2 * w / 3 && y >= h / 4 && y < h / 2;
      const double ramp = w > 1 ? 4.0 * x / (w - 1) - 2.0 : 0.0;
      shift[y * w + x] = inBlock ? 3.0 : ramp;
    }
  }
  return shift;
}

double idealI0(const StackSpec& s, int x, int y, int k)
{
  const double across = s.width > 1 ? double(x) / (s.width - 1) - 0.5 : 0.0;
  const int n = s.energies.size();
  const double along = n > 1 ? double(k) / (n - 1) - 0.5 : 0.0;
  Q_UNUSED(y);
  return s.dark + s.i0 * (1.0 + s.i0Gradient * across) * (1.0 + s.i0Drift * along);
}

double idealI1(const StackSpec& s, int x, int y, int k)
{
  const int p = y * s.width + x;
  const double e = s.energies[k] - s.shift[p];
  double mu = 0.0;
  for (int c = 0; c < s.components.size(); ++c)
    mu += s.fractions[c][p] * componentMu(s.components[c], e);
  return s.dark + (idealI0(s, x, y, k) - s.dark) * std::exp(-s.thickness[p] * mu);
}

StackTruth generateStack(const StackSpec& in, const QString& outDir, Format format)
{
  StackTruth t;
  const StackSpec s = completed(in);
  if (!QDir().mkpath(outDir))
    return t;
  const QDir dir(outDir);
  const int w = s.width;
  const int h = s.height;
  t.width = w;
  t.height = h;
  t.energies = s.energies;
  t.components = s.components;
  t.fractions = s.fractions;
  t.thickness = s.thickness;
  t.shift = s.shift;

  Noise noise(s.seed);
  Noise* rng = s.noise ? &noise : nullptr;
  Counts i1(w * h), i0(w * h);
  for (int k = 0; k < s.energies.size(); ++k) {
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        i1[y * w + x] = toCount(idealI1(s, x, y, k), rng);
        if (s.writeI0)
          i0[y * w + x] = toCount(idealI0(s, x, y, k), rng);
      }
    }
    t.i1Files << dir.filePath(frameFileName(s.i1Prefix, s.energies[k], format));
    if (!writeFrame(t.i1Files.last(), format, w, h, i1))
      return t;
    if (s.writeI0) {
      t.i0Files << dir.filePath(frameFileName(s.i0Prefix, s.energies[k], format));
      if (!writeFrame(t.i0Files.last(), format, w, h, i0))
        return t;
    }
  }
  if (s.writeDark) {
    Counts dark(w * h);
    for (quint32& v : dark)
      v = toCount(s.dark, rng);
    t.darkFile = dir.filePath("dark." + extension(format));
    if (!writeFrame(t.darkFile, format, w, h, dark))
      return t;
  }
  for (int c = 0; c < s.components.size(); ++c) {
    const Component& comp = s.components[c];
    QString text = QString("# reference spectrum of component %1, edge %2 eV, unit thickness\n"
                           "# energy(eV) mu\n")
                     .arg(comp.name)
                     .arg(comp.edge);
    for (double e : s.energies)
      text += QString("%1 %2\n").arg(e, 0, 'g', 10).arg(componentMu(comp, e), 0, 'g', 10);
    t.referenceFiles << dir.filePath("ref_" + comp.name + ".dat");
    t.truthFiles << dir.filePath("truth_fraction_" + comp.name + ".txt");
    if (!writeText(t.referenceFiles.last(), text) ||
        !writeText(t.truthFiles.last(),
                   grid("fraction of component " + comp.name, w, h, s.fractions[c])))
      return t;
  }
  t.truthFiles << dir.filePath("truth_thickness.txt") << dir.filePath("truth_shift.txt");
  if (!writeText(t.truthFiles[t.truthFiles.size() - 2], grid("thickness", w, h, s.thickness)) ||
      !writeText(t.truthFiles.last(), grid("energy shift (eV)", w, h, s.shift)))
    return t;
  t.ok = true;
  return t;
}

} // namespace stackgen
