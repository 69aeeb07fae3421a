#pragma once

#include <QMainWindow>

#include <memory>

namespace Ui {
class Body;
}

// The main window: owns the image stacks, the current position and the tool
// windows; every other subsystem is reached through its slots.
class Body : public QMainWindow
{
  Q_OBJECT

public:
  explicit Body(QWidget* parent = nullptr);
  ~Body() override;

signals:
  void finishing();
  void finishBatchExec();

private:
  std::unique_ptr<Ui::Body> m_ui;
};
