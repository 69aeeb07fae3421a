// Reading and writing spectrum files.

#include "spectrum/XafsSpectrum.h"

#include "app/TextLines.h"

#include <QDebug>
#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>

#include <cmath>

namespace {

constexpr double kPi = 3.1415926535;
constexpr double kDefaultSpacing = 3.13553; // Si(111), Å

QStringList itemsOf(const QString& line)
{
  return line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

bool number(const QString& text, double& v)
{
  bool ok = false;
  v = text.toDouble(&ok);
  return ok && std::isfinite(v);
}

// "9809" file: header lines up to the one starting with "Offset" (a "D="
// item there sets the crystal spacing), then angle, I0 and I1 per line.
// Lines whose items are not numbers, or whose angle gives no finite
// positive energy, are skipped. A scan the header calls "Fluorescence"
// counts the fluorescence in I1: its absorption is I1/I0, which rises at
// the edge, where ln(I0/I1) would fall and leave no edge to find.
void read9809(const QString& first,
              TextLines& in,
              SpectrumPoints& mu,
              SpectrumPoints& i0,
              SpectrumPoints& i1)
{
  double d = kDefaultSpacing;
  bool inData = false;
  bool fluorescence = false;
  for (QString line = first;; line.clear()) {
    if (line.isNull() && !in.next(line))
      break;
    const QStringList items = itemsOf(line);
    if (!inData) {
      for (int k = 0; k + 1 < items.size(); ++k) {
        double spacing;
        if (items.at(k) == QLatin1String("D=") && number(items.at(k + 1), spacing) && spacing > 0.0)
          d = spacing;
      }
      for (const QString& item : items)
        if (item.startsWith(QLatin1String("Fluorescence"), Qt::CaseInsensitive))
          fluorescence = true;
      if (!items.isEmpty() && items.first() == QLatin1String("Offset"))
        inData = true;
      continue;
    }
    if (items.size() <= 4)
      continue;
    double theta;
    double I0;
    double I1;
    if (!number(items.at(1), theta) || !number(items.at(3), I0) || !number(items.at(4), I1))
      continue;
    const double E = kHcEVA / (2.0 * d * std::sin(theta * kPi / 180.0));
    if (!std::isfinite(E) || E <= 0.0)
      continue;
    double value;
    if (fluorescence)
      value = I0 > 0.0 ? I1 / I0 : 0.0;
    else
      value = I0 * I1 > 0.0 ? std::log(I0 / I1) : 1.0;
    mu.append(E, value);
    i0.append(E, I0);
    i1.append(E, I1);
  }
}

// Column file: energy (eV) and value in the first two items; "#" lines and
// lines whose first two items are not numbers (a "Energy mu" header) are
// skipped, as are energies that are not positive.
void readColumns(const QString& first, TextLines& in, SpectrumPoints& mu)
{
  for (QString line = first;; line.clear()) {
    if (line.isNull() && !in.next(line))
      break;
    const QStringList items = itemsOf(line);
    if (items.size() <= 1 || items.first().startsWith(QLatin1Char('#')))
      continue;
    double E;
    double value;
    if (!number(items.at(0), E) || !number(items.at(1), value) || E <= 0.0)
      continue;
    mu.append(E, value);
  }
}

} // namespace

bool XafsSpectrum::load(const QString& fileName, QString* why)
{
  const auto refuse = [&fileName, why](const QString& text) {
    if (why)
      *why = text + fileName;
    else
      qDebug().noquote() << text + fileName;
    return false;
  };
  QFile f(fileName);
  if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
    return refuse(QStringLiteral("Can't open spectrum file : "));
  // Read as a stream of bounded lines: a file without line breaks is refused
  // after one bounded line instead of being held whole.
  TextLines in(f);
  QString first;
  in.next(first);
  const bool is9809 = first.simplified().startsWith(QLatin1String("9809"));
  SpectrumPoints mu;
  SpectrumPoints i0;
  SpectrumPoints i1;
  if (is9809)
    read9809(first, in, mu, i0, i1);
  else
    readColumns(first, in, mu);
  if (in.overlong() || (!is9809 && mu.isEmpty()))
    return refuse(QStringLiteral("No spectrum in file : "));

  points = mu;
  curves[CurveI0] = i0;
  curves[CurveI1] = i1;
  fileKind = is9809 ? FileKind::Format9809 : FileKind::Columns;
  name = fileName;
  extraShift = 0.0;
  // Nothing of the previous spectrum's normalisation describes the new
  // points; the caller normalises when there is at least one.
  clearNormalisation();
  return true;
}

bool XafsSpectrum::writeText(const QString& fileName, bool applyShift) const
{
  QSaveFile f(fileName);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
    return false;
  QTextStream out(&f);
  out << "###Lumacresta::XafsSpectrum\n";
  out << "# midx    : " << midx << "\n";
  out << "# dMut    : " << dMut << "\n";
  out << "# pre   vic : " << pre.c << " " << pre.a << " " << pre.b << " " << pre.slope << "\n";
  out << "# poste vic : " << post.c << " " << post.a << " " << post.b << " " << post.slope << "\n";
  out << "#\n";
  out << "# x  double-normalized-pre-base y pre post\n";
  const SpectrumPoints& dn = curves[CurveDoubleNormalized];
  const double shift = applyShift ? extraShift : 0.0;
  for (int i = 0; i < points.size(); ++i) {
    // The lines are evaluated on the scale they were fitted on (corrected
    // energy); only the written energy takes the extra shift.
    const double E = energy(i);
    out << E - shift << '\t' << (i < dn.size() ? dn.y(i) : 0.0) << '\t' << value(i) << '\t'
        << preValue(E) << '\t' << postValue(E) << '\n';
  }
  out.flush();
  return out.status() == QTextStream::Ok && f.commit();
}
