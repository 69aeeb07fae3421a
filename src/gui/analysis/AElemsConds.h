#pragma once

#include "analysis/ElemAnalysis.h"

#include <QDialog>

#include <memory>

class Session;

namespace Ui {
class AElemsConds;
}

// "Analyze Elems Conditions": a view of the Session's background values of
// the element analysis and of how its edge positions are read. The fields
// write the Session; showValues() shows its values again.
class AElemsConds : public QDialog
{
  Q_OBJECT

public:
  explicit AElemsConds(Session& session, QWidget* parent = nullptr);
  ~AElemsConds() override;

  Ui::AElemsConds* form() const { return m_ui.get(); }
  // The five fields; one that does not hold a number reads as its default.
  const ElemBackground& values() const;
  // Batch: 0 dmut, 1 dmut-Ratio, 2 dE, 3 ROI, 4 NROI.
  void setValue(int which, double v);
  // How the edge position maps are read; Grid by default.
  EdgeLocate edgeLocate() const;
  void setEdgeLocate(EdgeLocate locate);
  void showValues();

private:
  std::unique_ptr<Ui::AElemsConds> m_ui;
  Session& m_session;
};
