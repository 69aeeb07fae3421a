#pragma once

#include "analysis/AnalyzeCond.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <QVector>

// One result map of a point-by-point run: the recorded values over the whole
// image (`data`), the result of the last deglitch (`processed`), their ranges,
// and the scale settings its pictures and files use. The record holds
// numbers only: pictures of it are drawn by display/MapImages and files
// written by output/MapGrid. Only the GUI thread touches a map; the run's
// workers hand values back by signal.
class Analyzed2DRes : public QObject
{
  Q_OBJECT

public:
  explicit Analyzed2DRes(const QString& name = QString(), QObject* parent = nullptr);
  // Copies every field and the value arrays; the copy counts as new values
  // (its generation moves on), so no picture of the old contents stays valid.
  Analyzed2DRes& operator=(const Analyzed2DRes& other);

  QString name() const { return m_name; }
  void setName(const QString& name) { m_name = name; }
  // What a file that holds several maps calls this one, where the name
  // alone does not tell maps apart (every reference's amount map is "LCF
  // Ref 1"): e.g. "LCF Ref 2 Fraction"; empty takes the name. `source` is
  // the file the map was made from (the reference's spectrum), if any.
  QString label() const { return m_label.isEmpty() ? m_name : m_label; }
  void setLabel(const QString& label) { m_label = label; }
  QString source() const { return m_source; }
  void setSource(const QString& source) { m_source = source; }
  const AnalyzeCond& cond() const { return m_cond; }
  int width() const { return m_cond.width; }
  int height() const { return m_cond.height; }
  bool hasData() const { return !m_data.isEmpty(); }
  const QVector<double>& data() const { return m_data; }
  const QVector<double>& processed() const { return m_processed; }
  // The recorded value at (x, y); 0 outside the map.
  double valueAt(int x, int y) const;
  // The value drawn at (x, y): the processed copy's while it is selected.
  double shownValueAt(int x, int y) const;

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
  // The array pictures and files show: processed when selected, else data.
  const QVector<double>& selectedValues() const { return m_selectProcImg ? m_processed : m_data; }
  // The range of the selected array: (procMin, procMax) or (min, max).
  void selectedRange(double& lo, double& hi) const;
  // Moves on whenever the values are replaced as a whole (reset, clear,
  // copy), never by setData: a picture drawn at an older generation is of
  // other values and must not be shown.
  quint64 generation() const { return m_generation; }
  // The values the last 16-bit save wrote; the saver records it.
  int savedCount() const { return m_savedCount; }
  void setSavedCount(int n) { m_savedCount = n; }

  // Prepares the map for a run over `cond`: both arrays become width x height
  // zeros, the ranges are reset, the deglitch factor returns to 1.0 and the
  // generation moves on.
  void reset(const AnalyzeCond& cond);

public slots:
  void clear();
  void setNo(int no) { m_no = no; }
  int no() const { return m_no; }
  void setData(int ix, int iy, int xw, int yw, double t);
  // The deglitch passes write `processed` only; whoever shows the map draws
  // it again.
  void deglitch();
  void setDeglitchConds(double f, double r);
  void selectProcImg(bool f) { m_selectProcImg = f; }
  void deglitch2(double limit);
  void copyProc2Data();
  void setFixedScale(bool f) { m_fixedScale = f; }
  void setScale(double min, double max);

private:
  void resetProcRange();
  void recordProcessed(const AnalyzeCond& at, double v);
  // Calls f(point) for every raster point of the map's run.
  template<class F>
  void forEachPoint(F f) const;
  bool canProcess() const;

  int m_no = 0;
  QString m_name;
  QString m_label;
  QString m_source;
  AnalyzeCond m_cond;
  quint64 m_generation = 0;
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
  double m_deglitchFactor = 1.0;
  double m_deglitchRatio = 0.0;
  bool m_selectProcImg = false;
  int m_savedCount = 0;
};
