// lumacresta-stackgen: writes a sample transmission stack (I1, I0, dark,
// reference spectra and the truth maps) for trying the program out.

#include "Hdf5Writer.h"
#include "StackGen.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
  QCoreApplication app(argc, argv);
  QCommandLineParser p;
  p.setApplicationDescription("Writes a sample imaging-XAFS stack with known content.");
  p.addHelpOption();
  const QCommandLineOption width("width", "Image width (pixels).", "n", "24");
  const QCommandLineOption height("height", "Image height (pixels).", "n", "16");
  const QCommandLineOption count("energies", "Number of energies.", "n", "61");
  const QCommandLineOption from("from", "First energy (eV).", "eV", "8940");
  const QCommandLineOption to("to", "Last energy (eV).", "eV", "9060");
  const QCommandLineOption formats(
    "formats", "Comma-separated: tif, img16, img32, vrsk.", "list", "tif");
  const QCommandLineOption noNoise("no-noise", "Write the noise-free counts.");
  const QCommandLineOption seed("seed", "Noise seed.", "n", "12345");
  const QCommandLineOption out("out", "Output folder (one subfolder per format).", "dir", "stack");
  const QCommandLineOption shift(
    "shift",
    "Per-pixel energy shift: ramp (-1..+1 eV from top to bottom) or calib (-2..+2 eV from left "
    "to right with a block at +3 eV).",
    "pattern",
    "ramp");
  const QCommandLineOption foil(
    "foil", "Write an energy-calibration foil: compound A alone, everywhere, same beam.");
  const QCommandLineOption hdf5("hdf5",
                                "Also write the TIFF stack as one HDF5 file, <out>/tif/stack.h5.");
  p.addOptions({ width, height, count, from, to, formats, noNoise, seed, out, shift, foil, hdf5 });
  p.process(app);

  QTextStream err(stderr);
  stackgen::StackSpec plan;
  plan.width = p.value(width).toInt();
  plan.height = p.value(height).toInt();
  const int n = p.value(count).toInt();
  const double e0 = p.value(from).toDouble();
  const double e1 = p.value(to).toDouble();
  if (plan.width < 1 || plan.height < 1 || n < 2 || !(e1 > e0)) {
    err << "need width, height >= 1, at least 2 energies and --to above --from\n";
    return 2;
  }
  for (int k = 0; k < n; ++k)
    plan.energies << e0 + (e1 - e0) * k / (n - 1);
  if (p.value(shift) == "calib") {
    plan.shift = stackgen::calibrationCheckShift(plan.width, plan.height);
  } else if (p.value(shift) != "ramp") {
    err << "unknown shift pattern " << p.value(shift) << "\n";
    return 2;
  }
  if (p.isSet(foil))
    stackgen::makeFoil(plan);
  plan.noise = !p.isSet(noNoise);
  plan.seed = p.value(seed).toUInt();

  for (const QString& name : p.value(formats).split(',', Qt::SkipEmptyParts)) {
    stackgen::Format f;
    if (!stackgen::formatFromName(name.trimmed(), f)) {
      err << "unknown format " << name << "\n";
      return 2;
    }
    const QString dir = p.value(out) + "/" + stackgen::formatName(f);
    const stackgen::StackTruth t = stackgen::generateStack(plan, dir, f);
    if (!t.ok) {
      err << "could not write the stack into " << dir << "\n";
      return 1;
    }
    QTextStream(stdout) << t.i1Files.size() << " energies written to " << dir << "\n";
    if (p.isSet(hdf5) && f == stackgen::Format::Tiff) {
      if (!stackgen::writeHdf5Stack(t, dir + "/stack.h5")) {
        err << "could not write " << dir << "/stack.h5\n";
        return 1;
      }
      QTextStream(stdout) << "the same stack as " << dir << "/stack.h5\n";
    }
  }
  return 0;
}
