#include "GeneratedStack.h"

#include "input/TiffData.h"

#include <algorithm>
#include <cmath>

namespace {

bool readAll(const QStringList& files, std::vector<std::unique_ptr<TiffData>>& frames)
{
  for (const QString& f : files) {
    auto frame = std::make_unique<TiffData>();
    if (!frame->read(f))
      return false;
    frames.push_back(std::move(frame));
  }
  return true;
}

} // namespace

GeneratedStack::GeneratedStack(int width, int height, int nEnergies)
{
  stackgen::StackSpec plan;
  plan.width = width;
  plan.height = height;
  for (int k = 0; k < nEnergies; ++k)
    plan.energies.append(8940.0 + 120.0 * k / std::max(1, nEnergies - 1));
  // No energy shift over the image: the fit is then exact up to the noise.
  plan.shift = QVector<double>(width * height, 0.0);
  generate(plan);
}

GeneratedStack::GeneratedStack(const stackgen::StackSpec& plan)
{
  generate(plan);
}

void GeneratedStack::generate(const stackgen::StackSpec& plan)
{
  m_truth = stackgen::generateStack(plan, m_dir.path(), stackgen::Format::Tiff);
  if (!m_truth.ok)
    return;
  m_dark = std::make_unique<TiffData>();
  if (!readAll(m_truth.i1Files, m_i1) || !readAll(m_truth.i0Files, m_i0) ||
      !m_dark->read(m_truth.darkFile)) {
    m_i1.clear();
    return;
  }
  // The energies the main window would give them.
  for (size_t k = 0; k < m_i1.size(); ++k)
    m_i1[k]->energy = m_truth.energies[int(k)];
  for (size_t k = 0; k < m_i0.size() && k < size_t(m_truth.energies.size()); ++k)
    m_i0[k]->energy = m_truth.energies[int(k)];
}

GeneratedStack::~GeneratedStack() = default;

double GeneratedStack::fraction(int c, int x, int y) const
{
  return m_truth.fractions[c][y * m_truth.width + x];
}

SpectrumPoints GeneratedStack::pointsAt(int cx, int cy, int bx, int by) const
{
  SpectrumPoints p;
  const double dark = m_dark->sample(cx, cy, bx, by);
  for (size_t k = 0; k < m_i1.size(); ++k) {
    const double i1 = m_i1[k]->sample(cx, cy, bx, by) - dark;
    const double i0 = m_i0[k]->sample(cx, cy, bx, by) - dark;
    p.append(m_truth.energies[int(k)], i0 * i1 > 0 ? std::log(i0 / i1) : 1.0);
  }
  return p;
}

XafsSpectrum GeneratedStack::normalised(const SpectrumPoints& points)
{
  return XafsSpectrum(points, QStringLiteral("Body-AaP"), 1, 0.0, -1.0, -10.0, 10.0);
}

StackView GeneratedStack::view() const
{
  StackView v;
  for (const auto& f : m_i1)
    v.i1.append(f.get());
  for (const auto& f : m_i0)
    v.i0.append(f.get());
  v.dark = m_dark.get();
  v.width = m_truth.width;
  v.height = m_truth.height;
  v.useI0 = true;
  return v;
}

RefSnapshot GeneratedStack::reference(int c) const
{
  XafsSpectrum s;
  s.load(m_truth.referenceFiles.value(c));
  s.normalize(0);
  return RefSnapshot::take(s, 0.0, false, true, true);
}
