// lumacresta-fraccheck: one line comparing a fraction map the program saved
// with the sample generator's truth. Exit code 0 when the mean error is
// within the tolerance, 1 when not, 2 when a file cannot be read.

#include "FractionCheck.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
  QCoreApplication app(argc, argv);
  QCommandLineParser p;
  p.setApplicationDescription("Compares a saved fraction map with the generator's truth.");
  p.addHelpOption();
  const QCommandLineOption tolerance(
    "tolerance", "Largest acceptable mean |error|.", "value", "0.08");
  const QCommandLineOption label("label", "Name printed before the result.", "text", "fractions");
  p.addOptions({ tolerance, label });
  p.addPositionalArgument("truth", "truth_fraction_<name>.txt of the generator");
  p.addPositionalArgument("map",
                          "the saved map, x y value per line, or an energy-shift map (.emp)");
  p.process(app);

  QTextStream out(stdout);
  QTextStream err(stderr);
  const QStringList files = p.positionalArguments();
  if (files.size() != 2) {
    err << "usage: lumacresta-fraccheck [--tolerance T] TRUTH MAP\n";
    return 2;
  }
  fraccheck::Grid truth;
  QVector<fraccheck::MapValue> map;
  QString error;
  if (!fraccheck::readTruthGrid(files[0], truth, error) ||
      !fraccheck::readMapPoints(files[1], map, error)) {
    err << error << "\n";
    return 2;
  }
  const fraccheck::Summary s = fraccheck::compare(truth, map);
  const double tol = p.value(tolerance).toDouble();
  const bool ok = s.points > 0 && s.meanAbs <= tol;
  out << p.value(label) << ": " << fraccheck::describe(s) << (ok ? " - OK" : " - FAILED")
      << " (tolerance " << tol << " on the mean |error|)\n";
  return ok ? 0 : 1;
}
