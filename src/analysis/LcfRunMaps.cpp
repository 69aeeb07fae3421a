#include "analysis/LcfRunMaps.h"

#include "analysis/Analyzed2DRes.h"

namespace {

void resetMap(Analyzed2DRes* map, const AnalyzeCond& cond, int no)
{
  if (!map)
    return;
  map->reset(cond);
  map->setNo(no);
}

void put(const QVector<Analyzed2DRes*>& maps, int index, const AnalyzeCond& at, double v)
{
  if (index >= 0 && index < maps.size() && maps[index])
    maps[index]->setData(at.cx, at.cy, at.bx, at.by, v);
}

} // namespace

void LcfRunMaps::reset(const AnalyzeCond& cond)
{
  const int n = amounts.size();
  for (int i = 0; i < n; ++i)
    resetMap(amounts[i], cond, i);
  for (int i = 0; i < fractions.size(); ++i)
    resetMap(fractions[i], cond, i + n);
  resetMap(zansa, cond, 2 * n);
}

void LcfRunMaps::record(const LcfResult& r, const AnalyzeCond& at)
{
  const int n = r.refIndex.size();
  if (r.amounts.size() < n || r.fractions.size() < n)
    return;
  record(r.z, r.amounts.constData(), r.fractions.constData(), r.refIndex, at);
}

void LcfRunMaps::record(double z,
                        const double* amounts,
                        const double* fractions,
                        const QVector<int>& refIndex,
                        const AnalyzeCond& at)
{
  if (!at.pointInside())
    return;
  for (int u = 0; u < refIndex.size(); ++u) {
    put(this->amounts, refIndex[u], at, amounts[u]);
    put(this->fractions, refIndex[u], at, fractions[u]);
  }
  if (zansa)
    zansa->setData(at.cx, at.cy, at.bx, at.by, z);
}
