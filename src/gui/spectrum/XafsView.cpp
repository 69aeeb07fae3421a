#include "gui/spectrum/XafsView.h"
#include "gui/app/DialogFolders.h"
#include "output/MapFiles.h"

#include "app/Settings.h"
#include "app/TextItems.h"
#include "display/ChCoord.h"
#include "display/MouseC.h"
#include "gui/display/DispA.h"

#include "ui_XafsView.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

XafsView::XafsView(QWidget* parent)
  : QWidget(parent)
  , m_ui(std::make_unique<Ui::XafsView>())
{
  m_ui->setupUi(this);
  m_ui->Plot->setBackground(Qt::white);
  connect(m_ui->Plot, &DispA::drawImage1, this, &XafsView::draw);
  connect(m_ui->Plot, &DispA::mouseMoved0, this, &XafsView::onMouseMoved);
  connect(m_ui->Plot, &DispA::wheelMoved0, this, &XafsView::onWheelMoved);
  connect(m_ui->ResetXScale, &QPushButton::clicked, this, &XafsView::resetXScale);
  connect(m_ui->Save, &QPushButton::clicked, this, &XafsView::askSaveFile);
  for (QCheckBox* box : { m_ui->Normalized, m_ui->ShowRaw, m_ui->ShowFFT })
    connect(box, &QCheckBox::toggled, this, &XafsView::update);
  // The correction moves every energy: an unzoomed range moves with them.
  connect(m_ui->ECorrect, &QCheckBox::toggled, this, [this] {
    if (!m_userZoomed)
      setRangeToData();
    repaintAndNotify();
  });
}

XafsView::~XafsView() = default;

double XafsView::setSpectrum(const XafsSpectrum& s)
{
  m_spectrum = s;
  m_hasSpectrum = true;
  // The range follows the data (a stack still loading grows its energies)
  // unless the user zoomed since; even then a range that shows nothing of
  // the new spectrum (another edge) would leave an empty frame.
  if (m_rescalePending || !m_userZoomed || !m_hasRange || !overlapsRange(s)) {
    if (setRangeToData())
      m_rescalePending = false;
  }
  repaintAndNotify();
  return m_hasStandard ? s.midx - m_standard.midx : 0.0;
}

void XafsView::setRawSpectrum(const SpectrumPoints& raw)
{
  m_raw = raw;
  repaintAndNotify();
}

void XafsView::setMarkedEnergy(double e)
{
  m_marked = e;
  update();
}

void XafsView::setStandard(const XafsSpectrum& s)
{
  m_standard = s;
  m_hasStandard = true;
  repaintAndNotify();
}

void XafsView::clearStandard()
{
  m_standard = XafsSpectrum();
  m_hasStandard = false;
  repaintAndNotify();
}

void XafsView::addOtherSpectrum(const XafsSpectrum& s)
{
  m_others.append(s);
  repaintAndNotify();
}

void XafsView::clearOtherSpectra()
{
  m_others.clear();
  m_legend.clear();
  repaintAndNotify();
}

void XafsView::setLegend(const QStringList& names)
{
  m_legend = names;
  update();
}

void XafsView::rescaleOnNextSpectrum()
{
  m_rescalePending = true;
  m_userZoomed = false;
}

bool XafsView::hasData() const
{
  return (m_hasSpectrum && !m_spectrum.points.isEmpty()) ||
         (m_hasStandard && !m_standard.points.isEmpty()) || !m_others.isEmpty();
}

QString XafsView::legendText() const
{
  if (!m_hasSpectrum)
    return QString();
  return QStringLiteral("dMut = %1, Edge %2 [eV],")
    .arg(QString::asprintf("% 6.3e", m_spectrum.dMut))
    .arg(withThousandsSeparators(QString::number(m_spectrum.midx, 'g', 6)));
}

void XafsView::onMouseMoved()
{
  if (!hasData())
    return;
  setTransform();
  const QPoint at = m_ui->Plot->mouse()->pos();
  const ChCoord* cc = m_ui->Plot->coord();
  m_ui->XVal->setText(QString::number(cc->rx(at.x()), 'f', 1));
  m_ui->YVal->setText(QString::number(cc->ry(at.y()), 'f', 3));
}

void XafsView::onWheelMoved()
{
  if (!hasData())
    return;
  setTransform();
  const QPoint at = m_ui->Plot->mouse()->pos();
  const double em = m_ui->Plot->coord()->rx(at.x());
  const double f = m_ui->Plot->zoomFactor();
  m_lower = (m_lower - em) * f + em;
  m_upper = (m_upper - em) * f + em;
  m_hasRange = true;
  m_userZoomed = true;
  setTransform();
  const ChCoord* cc = m_ui->Plot->coord();
  m_ui->XVal->setText(QString::number(cc->rx(at.x()), 'g', 6));
  m_ui->YVal->setText(QString::number(cc->ry(at.y()), 'g', 6));
  repaintAndNotify();
}

void XafsView::resetXScale()
{
  m_userZoomed = false;
  setRangeToData();
  repaintAndNotify();
}

void XafsView::update()
{
  m_ui->Plot->update();
}

void XafsView::saveData(QString fname)
{
  if (fname.isEmpty())
    return;
  if (m_hasSpectrum && !m_spectrum.points.isEmpty())
    m_spectrum.writeText(taggedFileName(fname, QStringLiteral("T")), true);
  if (m_hasStandard && !m_standard.points.isEmpty())
    m_standard.writeText(taggedFileName(fname, QStringLiteral("std")), false);
  for (int i = 0; i < m_others.size(); ++i)
    m_others[i].writeText(taggedFileName(fname, QStringLiteral("other%1").arg(i)), false);
}

void XafsView::setNormalize(bool f)
{
  m_ui->Normalized->setChecked(f);
}

void XafsView::setEnergyCorrection(bool f)
{
  m_ui->ECorrect->setChecked(f);
}

void XafsView::askSaveFile()
{
  const QString fname =
    QFileDialog::getSaveFileName(this,
                                 tr("Save Spectra"),
                                 dialogFolder(FileKind::Spectra),
                                 QStringLiteral("Data File (*.dat);;Any Files (* *.*)"));
  rememberFolder(FileKind::Spectra, fname);
  saveData(fname);
}

bool XafsView::overlapsRange(const XafsSpectrum& s) const
{
  for (int i = 0; i < s.points.size(); ++i) {
    const double e = plottedEnergy(s, i);
    if (e >= m_lower && e <= m_upper)
      return true;
  }
  return false;
}

bool XafsView::setRangeToData()
{
  double lo = std::numeric_limits<double>::infinity();
  double hi = -lo;
  auto take = [&](const XafsSpectrum& s) {
    for (int i = 0; i < s.points.size(); ++i) {
      const double e = plottedEnergy(s, i);
      if (std::isfinite(e)) {
        lo = std::min(lo, e);
        hi = std::max(hi, e);
      }
    }
  };
  if (m_hasSpectrum)
    take(m_spectrum);
  if (m_hasStandard)
    take(m_standard);
  for (const XafsSpectrum& s : m_others)
    take(s);
  if (!(lo <= hi))
    return false; // nothing to show: keep the range
  m_hasRange = lo < hi;
  if (lo == hi) {
    lo -= 1.0;
    hi += 1.0;
  }
  m_lower = lo;
  m_upper = hi;
  return true;
}

void XafsView::repaintAndNotify()
{
  update();
  emit updated();
}
