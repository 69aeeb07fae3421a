#pragma once

#include "spectrum/SpectrumPoints.h"
#include "spectrum/XafsSpectrum.h"

#include <QPointF>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include <memory>

class QPainter;

namespace Ui {
class XafsView;
}

// The spectrum window: plots the spectrum at the pointed position with its
// pre- and post-edge lines, its raw-intensity curve, the calibration
// standard and any other spectra, marks the energy of the shown frame, reads
// out the cursor, zooms in energy with the wheel and saves what it shows.
class XafsView : public QWidget
{
  Q_OBJECT

public:
  explicit XafsView(QWidget* parent = nullptr);
  ~XafsView() override;

  // Shows `s` as the measured spectrum and returns its energy shift against
  // the standard (edge minus standard edge, eV); 0 without a standard.
  double setSpectrum(const XafsSpectrum& s);
  // The raw box sums (energy, intensity) behind the measured spectrum.
  void setRawSpectrum(const SpectrumPoints& raw);
  // Energy of the frame shown in the main window; negative marks nothing.
  void setMarkedEnergy(double e);
  void setStandard(const XafsSpectrum& s);
  void clearStandard();
  void addOtherSpectrum(const XafsSpectrum& s);
  // Also forgets the legend.
  void clearOtherSpectra();
  // Names of the curves in a legend box: the measured spectrum first, then
  // each other spectrum in order; empty (the default) draws no legend.
  void setLegend(const QStringList& names);
  const QStringList& legend() const { return m_legend; }
  // The next spectrum handed over resets the energy range to its own and
  // forgets a zoom: a new stack starts unzoomed.
  void rescaleOnNextSpectrum();

  const XafsSpectrum& spectrum() const { return m_spectrum; }
  const SpectrumPoints& rawSpectrum() const { return m_raw; }
  double lowerEnergy() const { return m_lower; }
  double upperEnergy() const { return m_upper; }
  double markedEnergy() const { return m_marked; }
  bool hasData() const;
  // "dMut = ..., Edge ... [eV]," for the measured spectrum.
  QString legendText() const;
  // (k, |F_k|) for k = 1 .. n/2 of the discrete Fourier transform of
  // `values`: the Fourier curve is drawn over its frequency index k (the top
  // axis of the plot), which has nothing to do with the energies below it.
  static QVector<QPointF> fourierCurve(const QVector<double>& values);

signals:
  void updated();

public slots:
  void draw(QPainter* p);
  void onMouseMoved();
  void onWheelMoved();
  void resetXScale();
  void update();
  void saveData(QString fname);
  void setNormalize(bool f);
  void setEnergyCorrection(bool f);

private:
  // One line of the plot in data coordinates (energy, value).
  struct Curve
  {
    QVector<QPointF> points;
    int colour = 0; // index into the standard colours
    bool dashed = false;
  };

  QVector<Curve> curves() const;
  double plottedEnergy(const XafsSpectrum& s, int i) const;
  void drawAxes(QPainter* p);
  void drawMarker(QPainter* p);
  void askSaveFile();
  // Fits the plot's transformation to the widget's current size, the energy
  // range and the value range of what is visible in it.
  void setTransform();
  // Takes the energy range of everything shown; false (range kept) when
  // nothing is shown. A single energy gives a range around it that the next
  // spectrum with a spread replaces.
  bool setRangeToData();
  bool overlapsRange(const XafsSpectrum& s) const;
  void drawRaw(QPainter* p);
  void drawFourier(QPainter* p, const QVector<QPointF>& shown);
  void drawLegend(QPainter* p, const QVector<Curve>& shown);
  void repaintAndNotify();

  std::unique_ptr<Ui::XafsView> m_ui;
  XafsSpectrum m_spectrum;
  bool m_hasSpectrum = false;
  SpectrumPoints m_raw;
  XafsSpectrum m_standard;
  bool m_hasStandard = false;
  QVector<XafsSpectrum> m_others;
  QStringList m_legend;
  double m_marked = -1.0;
  double m_lower = 0.0;
  double m_upper = 1.0;
  bool m_rescalePending = true;
  bool m_hasRange = false; // the range spans real data (or a user's zoom)
  // The wheel changed the range since the last reset or new stack.
  bool m_userZoomed = false;
};
