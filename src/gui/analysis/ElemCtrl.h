#pragma once

#include "analysis/ElemAnalysis.h"

#include <QFrame>
#include <QString>

class Analyzed2DRes;
class Session;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// One edge row of the Analyzer's element section: a view of the Session's
// row `row` (its conditions and its seven maps). The fields write the row's
// conditions; showValues() shows them again after the Session changed them.
// The read-outs show the last single spectrum's answer.
class ElemCtrl : public QFrame
{
  Q_OBJECT

public:
  ElemCtrl(Session& session, int row, QWidget* parent = nullptr);
  ~ElemCtrl() override;

  QString name() const;
  QRadioButton* targetButton() const { return m_mainTarget; }
  QRadioButton* showButton() const { return m_show; }
  // The row's map of that kind; nullptr for any other kind.
  Analyzed2DRes* map(int kind) const;
  const ElemCond& conditions() const;

  // Shows one spectrum's answer; nullptr: none (the read-outs empty).
  void showResult(const ElemResult* r);
  // The fields from the Session's row.
  void showValues();

private:
  QLineEdit* field(const QString& objectName, const QString& text, const QString& tip);
  QLineEdit* display(const QString& objectName, const QString& tip);
  ElemCond& cond() const;

  Session& m_session;
  int m_row;
  QCheckBox* m_use = nullptr;
  QLabel* m_nameLabel = nullptr;
  QRadioButton* m_mainTarget = nullptr;
  QRadioButton* m_show = nullptr;
  QLineEdit* m_eng = nullptr;
  QLineEdit* m_dE = nullptr;
  QLineEdit* m_prePostDE = nullptr;
  QLineEdit* m_roiS = nullptr;
  QLineEdit* m_roiE = nullptr;
  QLineEdit* m_thDMut = nullptr;
  QCheckBox* m_noNeg = nullptr;
  QLineEdit* m_stdRatioField = nullptr;
  QLineEdit* m_dmutShown = nullptr;
  QLineEdit* m_ratioShown = nullptr;
  QLineEdit* m_roiShown = nullptr;
  QLineEdit* m_nroiShown = nullptr;
  QLineEdit* m_eposShown = nullptr;
};
