// Fuzzes the reader of energy reference files (monochromator angles).
#include "FuzzSupport.h"

#include "input/EnergyAssignment.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  fuzz::initOnce();
  const QString path = fuzz::writeInput(data, size, ".ref");
  QVector<double> energies;
  energy::readReferenceEnergies(path, energy::kDefaultD, energies);
  volatile double sink = energy::fromReferenceList(energies, 3);
  (void)sink;
  return 0;
}
