#include "spectrum/EdgeTable.h"

#include "spectrum/ElementTable.h"

#include <QDebug>
#include <QFile>
#include <QStringList>
#include <QTextStream>

namespace {

EdgeRecord g_records[kEdgeTableCapacity];
int g_count = 0;

// Stored items: index into the line for each edge's energy, C and D (the
// wavelength columns are not stored; M1 has none).
constexpr int kEnergyItem[kEdgeCount] = { 2, 6, 10, 14, 18 };
constexpr int kCItem[kEdgeCount] = { 4, 8, 12, 16, 19 };
constexpr int kDItem[kEdgeCount] = { 5, 9, 13, 17, 20 };

double positiveItem(const QStringList& items, int i)
{
  if (i >= items.size())
    return 0.0;
  const double v = items.at(i).toDouble();
  return v > 0.0 ? v : 0.0; // "=" and negative values mean "no value"
}

double rawItem(const QStringList& items, int i)
{
  return i < items.size() ? items.at(i).toDouble() : 0.0;
}

bool validEdgeIndex(int k)
{
  return k >= 0 && k < kEdgeCount;
}

} // namespace

int edgeIndexOf(const QString& edgeName)
{
  const QString n = edgeName.toUpper();
  if (n == QLatin1String("L1") || n == QLatin1String("LI"))
    return 1;
  if (n == QLatin1String("L2") || n == QLatin1String("LII"))
    return 2;
  if (n == QLatin1String("L3") || n == QLatin1String("LIII"))
    return 3;
  return 0;
}

void loadEdgeTable(const QString& resourcePath)
{
  g_count = 0;
  QFile f(resourcePath);
  if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
    qDebug().noquote() << "Cannot open [Victoreen1.txt]\n";
    return;
  }
  QTextStream in(&f);
  in.setCodec("UTF-8");
  while (!in.atEnd() && g_count < kEdgeTableCapacity) {
    const QStringList items =
      in.readLine().simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (items.isEmpty() || items.first().startsWith(QLatin1Char('#')))
      continue;
    EdgeRecord r;
    r.Z = items.size() > 1 ? items.at(1).toInt() : 0;
    for (int k = 0; k < kEdgeCount; ++k) {
      r.edge[k] = k == 0 ? rawItem(items, kEnergyItem[k]) : positiveItem(items, kEnergyItem[k]);
      r.C[k] = positiveItem(items, kCItem[k]);
      r.D[k] = positiveItem(items, kDItem[k]);
    }
    g_records[g_count++] = r;
  }
}

int edgeTableCount()
{
  return g_count;
}

const EdgeRecord* edgeRecord(int z)
{
  if (z < 0 || z >= g_count)
    return nullptr;
  return &g_records[z];
}

double edgeEnergyEV(int z, int k)
{
  const EdgeRecord* r = edgeRecord(z);
  return r && validEdgeIndex(k) ? 1000.0 * r->edge[k] : 0.0;
}

double victoreenC(int z, int k)
{
  const EdgeRecord* r = edgeRecord(z);
  return r && validEdgeIndex(k) ? r->C[k] : 0.0;
}

double victoreenD(int z, int k)
{
  const EdgeRecord* r = edgeRecord(z);
  return r && validEdgeIndex(k) ? r->D[k] : 0.0;
}

bool lookupEdgeEnergy(const QString& symbol, const QString& edgeName, double& eV)
{
  const int z = atomicNumberOf(symbol);
  if (z < 1 || !edgeRecord(z))
    return false;
  eV = edgeEnergyEV(z, edgeIndexOf(edgeName));
  return true;
}
