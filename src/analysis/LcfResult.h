#pragma once

#include "spectrum/SpectrumPoints.h"
#include "spectrum/XafsSpectrum.h"

#include <QMetaType>
#include <QString>
#include <QVector>

// What a reference fit is asked to do besides the spectra themselves.
struct FitConditions
{
  // Fitting range in eV on the sample's corrected energy scale (the
  // calibration shift of its point already taken off).
  double sE0 = 0.0;
  double eE0 = 30000.0;
  // Suggested edge energy of the fitted-curve spectrum (<= 0: none).
  double suggestedEeV = -1.0;
  // Whether the fitted curve is also built as a normalised spectrum; a 2-D
  // run needs only the numbers and saves the normalisation per point.
  bool buildSpectrum = true;
  // LCF only (MLCF already divides by the weights' sum): the fractions are
  // fitted under the condition that they add up to 1, and with
  // `nonNegative` also that none is below 0. Off, the fit is unconstrained.
  bool sumToOne = false;
  bool nonNegative = false; // honoured together with sumToOne
  // The residual z: off, the mean of ((fit - y) / y)² ("Zansa"); on, the
  // R-factor sum (fit - y)² / sum y² over the same points of the fitting
  // range, which stays small where the normalised curve passes near 0.
  bool rFactor = false;
  // Echoed in the result so a caller can tell which request an answer
  // belongs to (a single fit still in flight when a run starts).
  quint64 tag = 0;
};

enum class FitStatus
{
  Ok,
  EmptySample,      // the sample has no points: zeros, nothing fitted
  TooFewReferences, // fewer than two references in the list: zeros
  // The cases below give NaN fractions, amounts and residual: a number
  // there would be made up, and a map shows NaN as "not fitted".
  NoCommonRange, // too few sample points in the common range of the used references
  NoEdge,        // the sample's edge jump is not positive or lies below its noise
  // Fewer than two references in use (box on, file loaded) in a list of
  // two or more: one curve alone says nothing about fractions.
  TooFewInUse,
};

// Whether a fit of this status gave numbers (zeros count); false where the
// fractions, amounts and residual are NaN.
inline bool fitGaveNumbers(FitStatus status)
{
  return status == FitStatus::Ok || status == FitStatus::EmptySample ||
         status == FitStatus::TooFewReferences;
}

// Why a fit gave no numbers, for a log line or a window; empty for Ok.
QString fitStatusText(FitStatus status);

// The residual a batch word names, in any letter case: "zansa" (the mean
// relative square) or "rfactor"; false, `rFactor` untouched, for any other.
bool residualFromName(const QString& name, bool& rFactor);
// The line of a word naming no residual.
QString unknownResidualLine(const QString& word, const QString& name);

// The answer of one fit, a plain value that travels by signal.
struct LcfResult
{
  FitStatus status = FitStatus::Ok;
  bool mlcf = false;
  quint64 tag = 0;
  // One entry per used reference (use box on and at least two points), in
  // list order: the index of that reference in the list given to the fit.
  QVector<int> refIndex;
  QVector<double> fractions;
  QVector<double> amounts;
  double z = 0.0;        // the residual ("Zansa", or the R-factor)
  bool singular = false; // the normal equations had a zero pivot
  // The fitted curve (E, sum of fraction x reference) over the references'
  // common range, on the double-normalised scale.
  SpectrumPoints curve;
  // The curve as a normalised spectrum ("anal-LCF" / "anal-MLCF"), built
  // when the conditions ask for it; empty otherwise.
  XafsSpectrum fitted;
  // True when the request was part of a 2-D run (the worker's contAccess):
  // the Analyzer then leaves its reference controls alone.
  bool contAccess = false;

  bool ok() const { return status == FitStatus::Ok; }
};

Q_DECLARE_METATYPE(FitConditions)
Q_DECLARE_METATYPE(LcfResult)
