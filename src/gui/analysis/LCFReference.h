#pragma once

#include "analysis/LcfFit.h"
#include "session/Session.h"
#include "spectrum/XafsSpectrum.h"

#include <QFrame>
#include <QString>

class Analyzed2DRes;
class QCheckBox;
class QLineEdit;
class QRadioButton;
class XafsFileSelect;

// One reference row of the Analyzer, a view of the Session's reference row
// of the same index: the file selector with its "Use" box, the energy
// shift dE, the normalisation mode ("Victreen"), read-outs of the edge and
// the jump, and the last fraction and amount. The reference spectrum, the
// row's values and its amount ("LCF Ref 1") and fraction ("LCF Ref 2")
// maps are the Session's; every edit writes them.
//
// Fits never look at the row: `snapshot()` hands them a copy of the values,
// and `showResult()` writes an answer back on the GUI thread.
class LCFReference : public QFrame
{
  Q_OBJECT

public:
  // Row `index` (from 0) of the Session; its number on the select button is
  // index + 1.
  LCFReference(Session& session, int index, QWidget* parent = nullptr);
  ~LCFReference() override;

  XafsFileSelect* fileSelect() const { return m_file; }
  QRadioButton* selectButton() const { return m_selectButton; }
  const XafsSpectrum& spectrum() const;
  // True once the chosen file was read with at least two points.
  bool isLoaded() const;
  bool isUsed() const;
  // Loaded and used: the row takes part in a fit.
  bool isUsable() const { return isLoaded() && isUsed(); }
  double deltaE() const;
  bool deltaEActive() const;
  bool isVictreen() const;
  double fraction() const { return m_fraction; }
  QString fractionText() const;
  QString amountText() const;
  QString midEText() const;
  QString dMutText() const;

  // The maps of the 2-D runs: 0 amount, 1 fraction.
  Analyzed2DRes* map(int kind) const;

  // A copy of everything a fit reads of this row.
  RefSnapshot snapshot() const;

signals:
  void newFileSelected();
  void newDeltaE();

public slots:
  // Reads and normalises `fname`; a file that cannot be read or holds
  // fewer than two points is refused, the row keeps its reference.
  void newFile(QString fname);
  void changedUse(bool f);
  void editedDeltaE();
  void toggledIsVictreen(bool f);
  // Batch entry: use box, dE, file and Victoreen mode in one call. `isVic`
  // is read as an integer, non-zero meaning on.
  void setStd(bool use, double dE, QString fname, QString isVic);
  // The fields show the Session's row again (a batch word changed it).
  void showRow();
  // Shows a fit's answer for this row: fraction x 100 and the amount.
  void showResult(double fraction, double amount);
  // A fit that gave no numbers: empty fields, not a made-up 0.00.
  void clearResult();

private:
  // The Session's row (looked up each time: adding rows may move them).
  const Session::Reference& row() const;
  Session::Reference& row();
  void clearSpectrum();
  void renormalize();
  void showEdge();

  XafsFileSelect* m_file = nullptr;
  QRadioButton* m_selectButton = nullptr;
  QLineEdit* m_deltaE = nullptr;
  QCheckBox* m_isVictreen = nullptr;
  QLineEdit* m_midE = nullptr;
  QLineEdit* m_dMut = nullptr;
  QLineEdit* m_fractionField = nullptr;
  QLineEdit* m_amountField = nullptr;

  Session& m_session;
  int m_index = 0;
  double m_fraction = 0.0;
};
