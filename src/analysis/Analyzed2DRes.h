#pragma once

#include "analysis/AnalyzeCond.h"
#include "display/ColorMap.h"

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QVector>

// A map converted to 16-bit samples for a TIFF file: width x height values,
// row by row.
struct MapSamples16
{
  int width = 0;
  int height = 0;
  QVector<quint16> values;
  // The map values written as 0 and 65535: the scale a picture of the
  // colour bar beside the file is labelled with.
  double scaleMin = 0.0;
  double scaleMax = 0.0;
};

// One result map of a point-by-point run: the recorded values over the whole
// image (`data`), the result of the last deglitch (`processed`), their ranges,
// the scale used for rendering and the rendered image. Only the GUI thread
// touches a map; the run's workers hand values back by signal.
class Analyzed2DRes : public QObject
{
  Q_OBJECT

public:
  explicit Analyzed2DRes(const QString& name = QString(), QObject* parent = nullptr);
  // Copies every field and the value arrays; a rendered image is rebuilt on
  // this map's own pixel buffer, never shared with the source.
  Analyzed2DRes& operator=(const Analyzed2DRes& other);

  QString name() const { return m_name; }
  void setName(const QString& name) { m_name = name; }
  const AnalyzeCond& cond() const { return m_cond; }
  int width() const { return m_cond.width; }
  int height() const { return m_cond.height; }
  bool hasData() const { return !m_data.isEmpty(); }
  const QVector<double>& data() const { return m_data; }
  const QVector<double>& processed() const { return m_processed; }
  // The recorded value at (x, y); 0 outside the map.
  double valueAt(int x, int y) const;

  double min() const { return m_min; }
  double max() const { return m_max; }
  QPoint minPos() const { return m_minPos; }
  QPoint maxPos() const { return m_maxPos; }
  double procMin() const { return m_procMin; }
  double procMax() const { return m_procMax; }
  bool fixedScale() const { return m_fixedScale; }
  double scaleMin() const { return m_scaleMin; }
  double scaleMax() const { return m_scaleMax; }
  bool procImgSelected() const { return m_selectProcImg; }
  double deglitchFactor() const { return m_deglitchFactor; }
  double deglitchRatio() const { return m_deglitchRatio; }
  bool imageValid() const { return m_imageValid; }
  int format() const { return m_format; }
  int savedCount() const { return m_savedCount; }

  // Prepares the map for a run over `cond`: both arrays become width x height
  // zeros, the ranges are reset, the deglitch factor returns to 1.0 and the
  // image is dropped.
  void reset(const AnalyzeCond& cond);
  // Renders the chosen array through `mapping` into the map's own buffer.
  void genImg(const ColorMapping& mapping);

public slots:
  void clear();
  void setNo(int no) { m_no = no; }
  int no() const { return m_no; }
  void setData(int ix, int iy, int xw, int yw, double t);
  // Renders through the process-wide colour bar (GUI thread only).
  void genImg();
  // The rendered image, wrapping the map's buffer without a copy: valid
  // until the next rendering or reset (copy it to keep it longer).
  QImage img() const;
  // 16-bit samples of the chosen array: round((clamp(v) - lo) / (hi - lo) *
  // 65535). asAnalyzed gives one sample per raster point (the raster's
  // columns x rows), else the whole map. Non-finite values and an empty or
  // non-finite scale give 0.
  MapSamples16 tiffDataForSave(bool fixedScale, double scaleMin, double scaleMax, bool asAnalyzed);
  void deglitch();
  void setDeglitchConds(double f, double r);
  void selectProcImg(bool f) { m_selectProcImg = f; }
  void deglitch2(double limit);
  void copyProc2Data();
  void setFixedScale(bool f) { m_fixedScale = f; }
  void setScale(double min, double max);

private:
  const QVector<double>& source() const { return m_selectProcImg ? m_processed : m_data; }
  void sourceRange(double& lo, double& hi) const;
  void resetProcRange();
  void recordProcessed(const AnalyzeCond& at, double v);
  // Calls f(point) for every raster point of the map's run.
  template<class F>
  void forEachPoint(F f) const;
  bool canProcess() const;

  int m_no = 0;
  QString m_name;
  AnalyzeCond m_cond;
  bool m_imageValid = false;
  ImageBuffer m_buffer;
  ColorMapping m_mapping; // the mapping of the last rendering
  QVector<double> m_data;
  QVector<double> m_processed;
  double m_min = 1e300;
  double m_max = -1e300;
  QPoint m_minPos;
  QPoint m_maxPos;
  double m_procMin = 1e300;
  double m_procMax = -1e300;
  bool m_fixedScale = false;
  double m_scaleMin = 0.0;
  double m_scaleMax = 1.0;
  int m_format = QImage::Format_Grayscale8;
  double m_deglitchFactor = 1.0;
  double m_deglitchRatio = 0.0;
  bool m_selectProcImg = false;
  int m_savedCount = 0;
};
