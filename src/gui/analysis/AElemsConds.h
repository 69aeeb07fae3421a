#pragma once

#include "analysis/ElemAnalysis.h"

#include <QDialog>

#include <memory>

namespace Ui {
class AElemsConds;
}

// "Analyze Elems Conditions": the background values of the element
// analysis, read once per run as values.
class AElemsConds : public QDialog
{
  Q_OBJECT

public:
  explicit AElemsConds(QWidget* parent = nullptr);
  ~AElemsConds() override;

  Ui::AElemsConds* form() const { return m_ui.get(); }
  // The five fields; one that does not hold a number reads as its default.
  ElemBackground values() const;
  // Batch: 0 dmut, 1 dmut-Ratio, 2 dE, 3 ROI, 4 NROI.
  void setValue(int which, double v);
  // How the edge position maps are read; Grid by default.
  EdgeLocate edgeLocate() const;
  void setEdgeLocate(EdgeLocate locate);

private:
  std::unique_ptr<Ui::AElemsConds> m_ui;
};
