#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class SaveDataCfg;
}

// "Save Data Configuration": how a result map is saved, as a 16-bit TIFF
// (scale and size) or as text (separator and layout). The main window
// reads the choices when it saves; every slot sets its control, so the
// batch commands configure the window just as a user would.
class SaveDataCfg : public QWidget
{
  Q_OBJECT

public:
  explicit SaveDataCfg(QWidget* parent = nullptr);
  ~SaveDataCfg() override;

  Ui::SaveDataCfg* form() const { return m_ui.get(); }
  bool saveAsTiff() const;
  // The third kind: every map with data in one HDF5 file.
  bool saveAsHdf5() const;
  bool tiffFixedScale() const;
  // The numbers in the scale fields; an unreadable field reads as 0.
  double tiffScaleMin() const;
  double tiffScaleMax() const;
  bool tiffAsAnalyzed() const;
  bool commaSeparated() const;
  bool xyValue() const;

public slots:
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
  std::unique_ptr<Ui::SaveDataCfg> m_ui;
};
