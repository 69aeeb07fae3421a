#pragma once

#include "analysis/AnalyzeCond.h"

#include <QFrame>

#include <memory>

namespace Ui {
class Analyzer2;
}

// The second analysis window: the diagnostic tools of the main window. It
// holds no image data; its buttons ask the main window, which answers with
// the current area.
class Analyzer2 : public QFrame
{
  Q_OBJECT

public:
  explicit Analyzer2(QWidget* parent = nullptr);
  ~Analyzer2() override;

  Ui::Analyzer2* form() const { return m_ui.get(); }
  // The area the last collection received.
  const AnalyzeCond& lastArea() const { return m_area; }

signals:
  void startCollectQInfo();
  // The Fourier analysis of the current area, results in the debug log.
  void startFourierA();

public slots:
  void doCollectQInfo(AnalyzeCond ac);

private:
  std::unique_ptr<Ui::Analyzer2> m_ui;
  AnalyzeCond m_area;
};
