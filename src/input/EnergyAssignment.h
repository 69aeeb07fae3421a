#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QVector>

// The energy of every image of a stack is not stored in the image files; it
// comes from the file name, from a reference scan, or from the file's place
// in the list. These are the headless rules behind the "EngOfFilesSetup"
// dialog, so that they can be checked without any window.

namespace energy {

// hc in eV·Å, and π as the monochromator tables of the beamlines take it.
constexpr double kHc = 12398.424360387684;
constexpr double kPi = 3.1415926535;
// Si(111) lattice spacing in Å, the crystal the setup starts with.
constexpr double kDefaultD = 3.13553;
// The energy used when a rule cannot give one (empty reference list, a
// calculation that leaves the physical range): 8000 eV + the file number.
constexpr double kDefaultBase = 8000.0;

// The regular expressions offered for reading the energy from a file name.
QStringList patternPresets();

// What a file name gives by a pattern.
enum class NameMatch
{
  None,     // no match: the file number is the energy
  Number,   // the energy
  NotNumber // a match that is no number: the file cannot be given an energy
};
// The first match of `pattern` anywhere in `fileName`: its text upper-cased,
// "_" read as the decimal point, "KEV" and then "EV" dropped, is the number,
// multiplied by `factorText` when that is a number above 0. When the whole
// match is no number and the pattern captured groups, the captured texts
// joined by "." are read the same way: `_(\d+)_(\d+)\.` reads
// "scan_08979_5000.tif" as 8979.5 (integer part, then fraction). `matched`
// receives the text read (the whole match when neither is a number).
NameMatch matchFileName(const QString& fileName,
                        const QRegularExpression& pattern,
                        const QString& factorText,
                        double& energy,
                        QString& matched);
// The energy by matchFileName; the file number when it gives none.
double fromFileName(const QString& fileName,
                    const QString& pattern,
                    const QString& factorText,
                    int fNo);

// The Factor text that goes with an edited pattern: "1000" for a keV
// pattern, "1" for one without any eV unit, and an empty string (keep the
// current factor) for an eV pattern.
QString factorForPattern(const QString& pattern);

// Bragg's law: the energy in eV selected at monochromator angle `deg` with
// lattice spacing `d` (Å). Not finite or not positive for angles outside
// (0°, 180°).
double energyOfAngle(double deg, double d);
// The inverse, in degrees; -1 when no angle selects `eV`.
double angleOfEnergy(double eV, double d);

// True for an energy a frame may carry: finite and above 0.
bool isValidEnergy(double eV);

// Display units of the calculation fields, in the order of the unit combo.
enum class CalcUnit
{
  eV = 0,
  keV = 1,
  deg = 2
};

// The four calculation fields and their options, read from the dialog.
struct EnergyCalc
{
  double Start = 8000;
  double Delta = 1;
  double End = 9000;
  int Num = 1000;
  int unit = 0; // index of the unit combo (CalcUnit), others act as eV
  bool evenInAngle = false;
  double d = kDefaultD;

  bool operator==(const EnergyCalc& o) const
  {
    return Start == o.Start && Delta == o.Delta && End == o.End && Num == o.Num && unit == o.unit &&
           evenInAngle == o.evenInAngle && d == o.d;
  }

  // Energy of file number n; may be invalid (see isValidEnergy) when the
  // fields leave the physical range.
  double energyOf(int n) const;
  // The field kept consistent when Start or Delta changes.
  double endFromStartDelta() const { return Start + Num * Delta; }
  // The field kept consistent when End or Num changes.
  double deltaFromStartEnd() const { return (End - Start) / Num; }
};

// Entry fNo of the reference energies, clamped to the list; 8000 + fNo for
// an empty list.
double fromReferenceList(const QVector<double>& energies, int fNo);

// Reads the monochromator angles of a reference file ("9809" XAFS files:
// second column after the "Offset" line; other files: first column) and
// converts them to energies with spacing d. Lines whose first two items are
// not numbers, and angles that give no valid energy, are skipped. Returns
// false, with "Can't open ref file <name>" on the debug output, when the
// file cannot be opened; `energies` is then untouched.
bool readReferenceEnergies(const QString& fileName, double d, QVector<double>& energies);

// Everything the energy of one file depends on, taken from the dialog at
// the moment a frame arrives.
struct EnergyRule
{
  bool fromFileName = false;
  bool fromRefFile = false;
  bool fromFileNum = true;
  // The first preset, as the dialog shows it on start.
  QString pattern = patternPresets().first();
  QString factor = factorForPattern(patternPresets().first());
  EnergyCalc calc;
  QVector<double> refEnergies;

  // The selected rule's energy; a rule that yields no valid energy falls
  // back to 8000 + fNo and says so on the debug output.
  double energyOf(const QString& fileName, int fNo) const;
  // Why the files a loader reads of `files` (every `skip`-th from
  // `cutFirst`, without the last `cutLast`) cannot be given energies by
  // this rule: a pattern that is no regular expression, or a name whose
  // match is no number (a plot over file numbers would pass for energies).
  // One line naming the file and the matched text; empty when they can.
  QString refusal(const QStringList& files, int skip, int cutFirst, int cutLast) const;
  // True when both give every file the same energy (only the selected
  // source's settings count).
  bool sameEnergies(const EnergyRule& other) const;
};

// The line said once when the set-up of a list whose `files` files are
// loaded changes: they keep the energies they were given.
QString setupChangedLine(int files);

} // namespace energy
