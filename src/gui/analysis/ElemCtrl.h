#pragma once

#include "analysis/ElemAnalysis.h"

#include <QFrame>
#include <QString>

class Analyzed2DRes;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// One edge row of the Analyzer's element section, built in code from an
// entry of "Target Element Names": its conditions, its read-outs and the
// seven maps of the 2-D runs (owned). Runs never look at the row: they take
// `conditions()`, a copy of the values, when they start.
class ElemCtrl : public QFrame
{
  Q_OBJECT

public:
  ElemCtrl(const ElemEntry& entry, QWidget* parent = nullptr);
  ~ElemCtrl() override;

  QString name() const { return m_name; }
  QRadioButton* targetButton() const { return m_mainTarget; }
  QRadioButton* showButton() const { return m_show; }
  Analyzed2DRes* map(int kind) const;
  ElemCond conditions() const;
  double ratio() const { return m_ratio; }
  double stdRatio() const { return m_stdRatio; }

  // Shows one spectrum's answer and keeps its ratio.
  void showResult(const ElemResult& r);
  void setUse(bool f);
  void setDE(double dE);
  void setROI(double start, double end);
  void setThDMut(double th);
  void setNoNeg(bool f);
  void setStdRatio(double r);

public slots:
  // StdRatio edited: the standard ratio follows.
  void newStdRatio();

private:
  QLineEdit* field(const QString& objectName, const QString& text, const QString& tip);
  QLineEdit* display(const QString& objectName, const QString& tip);

  QString m_name;
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
  Analyzed2DRes* m_maps[ElemMapCount] = {};
  double m_ratio = 0.0;
  double m_stdRatio = 0.0;
};
