// Fuzzes the energy-shift map reader: the header, then the values against
// the header's own standard edge, as loading a map does.
#include "FuzzSupport.h"

#include "calibration/EmpFile.h"

#include <QByteArray>
#include <QTextStream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  fuzz::initOnce();
  QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
  QTextStream in(&bytes, QIODevice::ReadOnly);
  const EMPHeader header = readEmpHeader(in);
  if (header.valid) {
    QVector<double> values;
    readEmpValues(in, header, header.stdEdgeEnergy, values);
  }
  return 0;
}
