#pragma once

#include "display/ColorMap.h"
#include "imgproc/ImageFilters.h"
#include "imgproc/ProcImage.h"

#include <QMainWindow>
#include <QPoint>

#include <memory>

class TiffData;

namespace Ui {
class ImgProc;
}

// The image processor window: turns the frame the main window hands over
// into a processed image (edges, binary mask), keeps one processed image
// as the reference, compares the two under the displacement in ShiftX and
// ShiftY, searches the displacement of best agreement and asks the main
// window to store it as the frame's shift.
//
// The frame is borrowed: its owner must call forgetFrame() before the frame
// is deleted. The processed images are copies, so only a rebuild (edge or
// threshold settings changed) reads the frame again.
class ImgProc : public QMainWindow
{
  Q_OBJECT

public:
  explicit ImgProc(QWidget* parent = nullptr);
  ~ImgProc() override;

  // Remembers the frame, builds its processed image and re-evaluates the
  // comparison (while hidden: only remembers it, the rest follows when
  // the window is shown). nullptr is the same as forgetFrame().
  void setFrame(const TiffData* frame);
  // Drops the frame and the processed image built from it; the reference
  // stays.
  void forgetFrame();
  const TiffData* frame() const { return m_frame; }

  const ProcImage& current() const { return m_current; }
  const ProcImage& reference() const { return m_reference; }
  const ProcImage& comparison() const { return m_comparison; }
  // Score of the displacement evaluated last (0 before any).
  double lastScore() const { return m_lastScore; }
  // The settings of the form as filter options.
  ProcOptions options() const;
  Ui::ImgProc* form() const { return m_ui.get(); }

signals:
  void askGiveData();
  void askClearAllShifts();
  void updateImg();
  void imgShift(int sx, int sy);

public slots:
  void movedBinThVSlider(int pos);
  void newBinThV();
  void setBinThV();
  void setRefBin();
  void toggledEdgeDetect(bool f);
  void edgeDetect();
  void binarize();
  void drawOnImage();
  void shiftBinImg();
  void autoShiftBinImg();
  void autoShiftBinImg0();
  void setShift();
  void clearAllShifts();

protected:
  void showEvent(QShowEvent* event) override;

private:
  void connectForm();
  void dropImages();
  // Rebuilds the image before binarisation from the frame, then the rest.
  void rebuildBase();
  // Rebuilds the processed image from the base image.
  void rebuildCurrent();
  // Both images exist and have one size; otherwise writes why and says no.
  bool canCompare() const;
  // The search from the fields; false when it could not run.
  bool runSearch();
  void compareAtFields();
  void step(int dx, int dy);
  QPoint fieldShift() const;
  void setFieldShift(const QPoint& shift);
  void recordScore(double score);

  std::unique_ptr<Ui::ImgProc> m_ui;
  const TiffData* m_frame = nullptr; // borrowed, see forgetFrame()
  ProcImage m_base;                  // intensities or edges
  ProcImage m_current;               // m_base, binarised when asked
  ProcImage m_reference;
  ProcImage m_comparison;
  double m_lastScore = 0.0;
  // The processor's own colour bar limits, apart from the main window's.
  ColorMapping m_mapping;
};
