#pragma once

#include <QWidget>

#include <memory>

class Session;

namespace Ui {
class SaveDataCfg;
}

// "Save Data Configuration": how a result map is saved, as a 16-bit TIFF
// (scale and size) or as text (separator and layout). A view of the
// Session's save options: every edit writes them, showOptions() puts them
// back into the controls; the slots set a control as a user would.
class SaveDataCfg : public QWidget
{
  Q_OBJECT

public:
  SaveDataCfg(Session& session, QWidget* parent = nullptr);
  ~SaveDataCfg() override;

  Ui::SaveDataCfg* form() const { return m_ui.get(); }

public slots:
  // The controls follow the Session's options (a field whose number is
  // already the option's keeps its text).
  void showOptions();
  // Follows the format choice: only the chosen format's group is enabled.
  void toggledSaveAs(bool f);
  void setSaveAsTiff();
  void setSaveAsText();
  void setSaveAsHdf5();
  void setSaveTiffScaleFixed(bool f);
  void setSaveTiffScaleMin(double min);
  void setSaveTiffScaleMax(double max);
  void setSaveTiffAsAnalyzed(bool f);
  void setSaveTextAsCSV();
  void setSaveTextAsSSV();
  void setSaveTextAsXYVal();
  void setSaveTextAsValValVal();

private:
  // The controls' choices into the Session (an unreadable number reads as 0).
  void takeOptions();

  std::unique_ptr<Ui::SaveDataCfg> m_ui;
  Session& m_session;
};
