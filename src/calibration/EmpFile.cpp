#include "calibration/EmpFile.h"

#include "analysis/AnalyzeCond.h"
#include "app/TextItems.h"
#include "app/TextLines.h"
#include "input/EnergyAssignment.h"

#include <QDateTime>
#include <QDebug>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include <cmath>

namespace {

// No written value comes near this many characters.
constexpr int kMaxEmpToken = 64;
constexpr qint64 kEmpPieceChars = 1 << 16;

const QString kTag = QStringLiteral("###Lumacresta::LMCR");
const QString kShortTag = QStringLiteral("###LMCR");
const QString kDelimiter = QStringLiteral("##-----------------");

// A header label: the name padded to 24 characters, then ": ".
QString label(const char* name)
{
  return QString::fromLatin1(name).leftJustified(24, QLatin1Char(' ')) + QStringLiteral(": ");
}

struct IntField
{
  const char* name;
  int EMPHeader::*field;
};

const IntField kIntFields[] = {
  { "Width [pix]", &EMPHeader::width },
  { "Height [pix]", &EMPHeader::height },
  { "Bin Half Width [pix]", &EMPHeader::binHalfWidth },
  { "Bin Half Height [pix]", &EMPHeader::binHalfHeight },
  { "Area X0", &EMPHeader::areaX0 },
  { "Area X1", &EMPHeader::areaX1 },
  { "Area Y0", &EMPHeader::areaY0 },
  { "Area Y1", &EMPHeader::areaY1 },
};

bool isSound(const EMPHeader& h)
{
  if (h.width <= 0 || h.height <= 0 || static_cast<long long>(h.width) * h.height > kMaxEmpPixels)
    return false;
  if (h.areaX0 < 0 || h.areaX0 > h.areaX1 || h.areaX1 > h.width)
    return false;
  if (h.areaY0 < 0 || h.areaY0 > h.areaY1 || h.areaY1 > h.height)
    return false;
  if (h.binHalfWidth < 0 || h.binHalfHeight < 0)
    return false;
  return std::isfinite(h.stdEdgeEnergy) && std::isfinite(h.spacing) && h.spacing > 0.0;
}

} // namespace

EMPHeader readEmpHeader(QTextStream& in)
{
  EMPHeader h;
  // Bounded reads: a file without line breaks is refused after one bounded
  // line instead of being read whole.
  const QString first = in.readLine(kMaxTextLineBytes);
  if (!first.startsWith(kShortTag) && !first.startsWith(kTag)) {
    qDebug().noquote() << "Not a emp file.";
    return h;
  }
  bool seenWidth = false, seenHeight = false, seenEdge = false, seenSpacing = false;
  // A value that is no number makes the header unusable, not a silent 0.
  bool readable = true;
  bool delimited = false;
  while (!in.atEnd()) {
    const QString line = in.readLine(kMaxTextLineBytes);
    if (line.size() >= kMaxTextLineBytes) {
      readable = false;
      break;
    }
    if (line.startsWith(kDelimiter)) {
      delimited = true;
      break;
    }
    QString item;
    bool ok = true;
    for (const IntField& f : kIntFields) {
      if (line.startsWith(label(f.name))) {
        takeItem(line.mid(26), item);
        h.*(f.field) = item.toInt(&ok);
        seenWidth |= f.field == &EMPHeader::width;
        seenHeight |= f.field == &EMPHeader::height;
      }
    }
    if (line.startsWith(label("Std Edge Energy [eV]"))) {
      takeItem(line.mid(26), item);
      h.stdEdgeEnergy = item.toDouble(&ok);
      seenEdge = true;
    } else if (line.startsWith(label("Spacing [nm]"))) {
      takeItem(line.mid(26), item);
      h.spacing = item.toDouble(&ok);
      seenSpacing = true;
    }
    readable &= ok;
  }
  h.valid =
    delimited && seenWidth && seenHeight && seenEdge && seenSpacing && readable && isSound(h);
  return h;
}

bool readEmpValues(QTextStream& in,
                   const EMPHeader& header,
                   double stdEdge,
                   QVector<double>& values)
{
  const double d = header.spacing;
  const double theta0 = energy::angleOfEnergy(stdEdge, d);
  QVector<double> read(header.width * header.height, 0.0);
  // The values are read in bounded pieces and split at white space here: a
  // body without white space would otherwise be read whole as one token.
  QString piece;
  int at = 0;
  const auto nextToken = [&in, &piece, &at]() {
    QString token;
    for (;;) {
      while (at < piece.size() && piece.at(at).isSpace() && token.isEmpty())
        ++at;
      while (at < piece.size() && !piece.at(at).isSpace() && token.size() <= kMaxEmpToken)
        token += piece.at(at++);
      if (at < piece.size() || token.size() > kMaxEmpToken)
        return token;
      piece = in.read(kEmpPieceChars);
      at = 0;
      if (piece.isEmpty())
        return token;
    }
  };
  for (int i = 0; i < read.size(); ++i) {
    const QString token = nextToken();
    if (token.isEmpty()) {
      // The body ends here: every value left is dθ = 0. A few bytes of
      // header can claim millions of values; one line each, for all of
      // them, kept a truncated file loading for minutes.
      const int missing = read.size() - i;
      for (int k = 0; k < std::min(missing, kRunOutLines); ++k)
        qDebug().noquote() << "run out!";
      if (missing > kRunOutLines)
        qDebug().noquote()
          << QStringLiteral("run out! (%1 more missing values)").arg(missing - kRunOutLines);
      std::fill(read.begin() + i, read.end(), stdEdge - energy::energyOfAngle(theta0, d));
      break;
    }
    bool ok = false;
    const double dTheta = token.toDouble(&ok);
    if (!ok || !std::isfinite(dTheta)) {
      qDebug().noquote() << "Unreadable value in energy map : " +
                              (token.size() > kMaxEmpToken
                                 ? QStringLiteral("more than %1 characters").arg(kMaxEmpToken)
                                 : token);
      return false;
    }
    read[i] = stdEdge - energy::energyOfAngle(dTheta + theta0, d);
  }
  values = std::move(read);
  return true;
}

QString empFileName(const QString& fname)
{
  const QFileInfo info(fname);
  const QString suffix = info.suffix().isEmpty() ? QStringLiteral("emp") : info.suffix();
  return info.absolutePath() + QLatin1Char('/') + info.completeBaseName() + QLatin1Char('.') +
         suffix;
}

bool writeEmpFile(const QString& fname,
                  const EmpWriteInfo& info,
                  const AnalyzeCond& scan,
                  const QVector<double>& values)
{
  if (values.isEmpty()) {
    qDebug().noquote() << kNoShiftMapToSaveLine;
    return false;
  }
  const QString name = empFileName(fname);
  QSaveFile file(name);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
    qDebug().noquote() << "Can not open" << name;
    return false;
  }
  const int w = scan.width, h = scan.height;
  QTextStream out(&file);
  out << kTag << '\n';
  out << label("Record Date")
      << QDateTime::currentDateTime().toString(QStringLiteral("yy/MM/dd hh:mm:ss.zzz")) << '\n';
  out << label("Std Edge Energy [eV]") << info.stdEdgeEnergy << '\n';
  out << label("Spacing [nm]") << info.spacing << '\n';
  out << label("Width [pix]") << w << '\n';
  out << label("Height [pix]") << h << '\n';
  out << label("Bin Half Width [pix]") << scan.bx << '\n';
  out << label("Bin Half Height [pix]") << scan.by << '\n';
  out << label("Area X0") << scan.x0 << '\n';
  out << label("Area X1") << scan.x1 << '\n';
  out << label("Area Y0") << scan.y0 << '\n';
  out << label("Area Y1") << scan.y1 << '\n';
  out << label("Std File Name") << info.stdFileName << '\n';
  out << label("Map Height") << h << '\n';
  for (int r = 0; r < h; ++r)
    out << label("Map Width") << r << ' ' << w << '\n';
  out << kDelimiter << '\n';
  logWithTime(QStringLiteral("EMap Write Start : "));

  const double es = info.stdEdgeEnergy;
  const double theta0 = energy::angleOfEnergy(es, info.spacing);
  const bool complete = values.size() >= w * h;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const double v = complete ? values[y * w + x] : 0.0;
      out << energy::angleOfEnergy(es - v, info.spacing) - theta0 << ' ';
    }
    out << '\n';
  }
  out.flush();
  logWithTime(QStringLiteral("EMap Write End   : "));
  if (out.status() != QTextStream::Ok || !file.commit()) {
    qDebug().noquote() << "Can not open" << name;
    return false;
  }
  return true;
}

AnalyzeCond empRaster(const EMPHeader& h)
{
  AnalyzeCond ac;
  ac.setup(h.width,
           h.height,
           h.binHalfWidth,
           h.binHalfHeight,
           h.areaX0,
           h.areaY0,
           h.areaX1 - h.areaX0,
           h.areaY1 - h.areaY0);
  return ac;
}

bool empFitsImage(const EMPHeader& h, bool imageLoaded, int width, int height)
{
  if (!imageLoaded || (h.width == width && h.height == height))
    return true;
  qDebug().noquote() << QStringLiteral("Loading Energy Map size : %1 x %2 : is not matched "
                                       "to the current image size : %3 x %4")
                          .arg(h.width)
                          .arg(h.height)
                          .arg(width)
                          .arg(height);
  return false;
}
