#include "imgproc/ShiftSearch.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

// Columns (or rows) u of an image of size n whose partner u + s lies in
// [0, m): [first, last). 64-bit so that no displacement can overflow.
struct Span
{
  qint64 first;
  qint64 last;
  bool isEmpty() const { return first >= last; }
};

Span overlap(int n, int m, int s)
{
  return { std::max<qint64>(0, -qint64(s)), std::min<qint64>(n, qint64(m) - s) };
}

// Neighbours in the order the search tries them.
constexpr std::array<std::array<int, 2>, 8> kDirections = {
  { { 1, 1 }, { 1, 0 }, { 1, -1 }, { 0, -1 }, { -1, -1 }, { -1, 0 }, { -1, 1 }, { 0, 1 } }
};

int stepped(int v, int d)
{
  // A displacement at the end of the int range has no overlap anyway;
  // saturating keeps the arithmetic defined.
  const qint64 s = qint64(v) + d;
  return int(
    std::clamp<qint64>(s, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

double alignScore(const ProcImage& current, const ProcImage& reference, int sx, int sy)
{
  if (current.isEmpty() || reference.isEmpty())
    return 0.0;
  const Span us = overlap(current.width, reference.width, sx);
  const Span vs = overlap(current.height, reference.height, sy);
  if (us.isEmpty() || vs.isEmpty())
    return 0.0;
  // Row sums in double (exact for binary images, vectorisable), the totals
  // in long double so that large images lose nothing to rounding.
  long double srr = 0.0L;
  long double scc = 0.0L;
  long double src = 0.0L;
  for (qint64 v = vs.first; v < vs.last; ++v) {
    const double* c = current.values.data() + v * current.width + us.first;
    const double* r = reference.values.data() + (v + sy) * reference.width + (us.first + sx);
    double rr = 0.0;
    double cc = 0.0;
    double rc = 0.0;
    for (qint64 i = 0; i < us.last - us.first; ++i) {
      rr += r[i] * r[i];
      cc += c[i] * c[i];
      rc += r[i] * c[i];
    }
    srr += rr;
    scc += cc;
    src += rc;
  }
  const long double d = srr * scc;
  if (!(d > 0.0L))
    return 0.0;
  const double score = double(src / std::sqrt(d));
  return std::isfinite(score) ? score : 0.0;
}

ShiftSearchResult searchBestShift(const ProcImage& current,
                                  const ProcImage& reference,
                                  int x,
                                  int y,
                                  double startScore)
{
  ShiftSearchResult res;
  res.x = x;
  res.y = y;
  res.score = std::isnan(startScore) ? 0.0 : startScore;
  // Every move reaches a strictly better score, so no displacement is
  // visited twice, and all displacements without overlap score 0 alike.
  const qint64 maxMoves =
    (qint64(current.width) + reference.width + 1) * (qint64(current.height) + reference.height + 1);
  while (res.moves < maxMoves) {
    bool moved = false;
    int nx = res.x;
    int ny = res.y;
    for (const auto& d : kDirections) {
      const int tx = stepped(res.x, d[0]);
      const int ty = stepped(res.y, d[1]);
      const double s = alignScore(current, reference, tx, ty);
      ++res.evaluations;
      if (s > res.score) {
        res.score = s;
        nx = tx;
        ny = ty;
        moved = true;
      }
    }
    if (!moved)
      break;
    res.x = nx;
    res.y = ny;
    ++res.moves;
  }
  return res;
}

ProcImage comparisonImage(const ProcImage& current, const ProcImage& reference, int sx, int sy)
{
  ProcImage out = ProcImage::zeros(current.width, current.height);
  if (out.isEmpty())
    return out;
  const Span us = overlap(current.width, reference.width, sx);
  const Span vs = overlap(current.height, reference.height, sy);
  for (int v = 0; v < current.height; ++v) {
    for (int u = 0; u < current.width; ++u) {
      double value = current.normalized(current.at(u, v));
      if (!reference.isEmpty() && u >= us.first && u < us.last && v >= vs.first && v < vs.last)
        value += 2.0 * reference.normalized(reference.at(int(u + sx), int(v + sy)));
      out.at(u, v) = value;
    }
  }
  out.rescan();
  return out;
}
