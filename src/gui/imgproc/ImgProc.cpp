#include "gui/imgproc/ImgProc.h"
#include "gui/app/NumberFields.h"

#include "gui/display/ColorBar.h"
#include "gui/display/ProcDispA.h"
#include "imgproc/ShiftSearch.h"

#include "ui_ImgProc.h"

#include <QDebug>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kSliderSteps = 1000;

double fieldValue(const QLineEdit* field)
{
  bool ok = false;
  const double v = field->text().toDouble(&ok);
  return ok && std::isfinite(v) ? v : 0.0;
}

int fieldInt(const QLineEdit* field)
{
  bool ok = false;
  const int v = field->text().toInt(&ok);
  return ok ? v : 0;
}

int saturated(qint64 v)
{
  return int(
    std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

ImgProc::ImgProc(QWidget* parent)
  : QMainWindow(parent)
  , m_ui(std::make_unique<Ui::ImgProc>())
{
  m_ui->setupUi(this);
  m_ui->CBar->setMapping(&m_mapping);
  acceptIntegers({ m_ui->ShiftX, m_ui->ShiftY });
  acceptReals({ m_ui->BinThV, m_ui->MaxEdgeV, m_ui->MinEdgeV });
  // The score ("-0.123456") stays whole however narrow the window gets.
  const int score =
    m_ui->NormScolarP->fontMetrics().horizontalAdvance(QStringLiteral("-0.0000000"));
  m_ui->NormScolarP->setMinimumWidth(score + 16);
  m_ui->NormScolarP->setMaximumWidth(std::max(100, score + 40));
  m_ui->BinThVSlider->setRange(0, kSliderSteps);
  toggledEdgeDetect(m_ui->EdgeDetect->isChecked());
  connectForm();
}

ImgProc::~ImgProc()
{
  // The bar is a child and outlives the members; leave it its own mapping
  // rather than one that is about to go.
  m_ui->CBar->setMapping(nullptr);
}

void ImgProc::connectForm()
{
  Ui::ImgProc& ui = *m_ui;
  connect(ui.BinThVSlider, &QSlider::valueChanged, this, &ImgProc::movedBinThVSlider);
  connect(ui.BinThV, &QLineEdit::editingFinished, this, &ImgProc::newBinThV);
  connect(ui.BinaryImage, &QCheckBox::toggled, this, &ImgProc::binarize);
  connect(ui.EdgeDetect, &QCheckBox::toggled, this, &ImgProc::toggledEdgeDetect);
  connect(ui.MaxEdgeV, &QLineEdit::editingFinished, this, &ImgProc::edgeDetect);
  connect(ui.MinEdgeV, &QLineEdit::editingFinished, this, &ImgProc::edgeDetect);
  connect(ui.SetRef, &QPushButton::clicked, this, &ImgProc::setRefBin);
  connect(ui.Compare, &QCheckBox::toggled, this, &ImgProc::shiftBinImg);
  connect(ui.ShiftX, &QLineEdit::editingFinished, this, &ImgProc::shiftBinImg);
  connect(ui.ShiftY, &QLineEdit::editingFinished, this, &ImgProc::shiftBinImg);
  connect(ui.ShiftL, &QPushButton::clicked, this, [this] { step(-1, 0); });
  connect(ui.ShiftR, &QPushButton::clicked, this, [this] { step(1, 0); });
  connect(ui.ShiftU, &QPushButton::clicked, this, [this] { step(0, -1); });
  connect(ui.ShiftD, &QPushButton::clicked, this, [this] { step(0, 1); });
  connect(ui.ShiftAuto, &QPushButton::clicked, this, &ImgProc::autoShiftBinImg);
  connect(ui.SetShift, &QPushButton::clicked, this, &ImgProc::setShift);
  connect(ui.ClearAllShifts, &QPushButton::clicked, this, &ImgProc::clearAllShifts);
  connect(ui.CBar, &ColorBar::cBarUpdating, this, &ImgProc::drawOnImage);
  connect(ui.CBar, &ColorBar::cBarUpdated, this, &ImgProc::drawOnImage);
}

void ImgProc::showEvent(QShowEvent* event)
{
  QMainWindow::showEvent(event);
  emit askGiveData();
  if (m_frame && m_current.isEmpty()) {
    rebuildBase();
    shiftBinImg();
  }
}

// ---- Frame and processed image -------------------------------------------

void ImgProc::setFrame(const TiffData* frame)
{
  if (!frame) {
    forgetFrame();
    return;
  }
  m_frame = frame;
  // Frames change with every step of the main window's slider; a hidden
  // window only remembers them and builds its image when it is shown.
  if (!isVisible()) {
    dropImages();
    return;
  }
  rebuildBase();
  shiftBinImg();
}

void ImgProc::forgetFrame()
{
  m_frame = nullptr;
  dropImages();
}

void ImgProc::dropImages()
{
  m_base = ProcImage();
  m_current = ProcImage();
  m_comparison = ProcImage();
  drawOnImage();
}

ProcOptions ImgProc::options() const
{
  ProcOptions o;
  o.edgeDetect = m_ui->EdgeDetect->isChecked();
  o.edgeMax = fieldValue(m_ui->MaxEdgeV);
  o.edgeMin = fieldValue(m_ui->MinEdgeV);
  o.binary = m_ui->BinaryImage->isChecked();
  o.threshold = fieldValue(m_ui->BinThV);
  return o;
}

void ImgProc::rebuildBase()
{
  m_base = m_frame ? baseImage(*m_frame, options()) : ProcImage();
  rebuildCurrent();
}

void ImgProc::rebuildCurrent()
{
  m_current = processedImage(m_base, options());
}

void ImgProc::movedBinThVSlider(int pos)
{
  if (m_base.isEmpty())
    return;
  const double span = m_base.max > m_base.min ? m_base.max - m_base.min : 0.0;
  const double th = m_base.min + span * pos / kSliderSteps;
  m_ui->BinThV->setText(QString::number(th, 'g', 10));
  setBinThV();
}

void ImgProc::newBinThV()
{
  if (!m_base.isEmpty() && m_base.max > m_base.min) {
    const double f = (fieldValue(m_ui->BinThV) - m_base.min) / (m_base.max - m_base.min);
    const QSignalBlocker block(m_ui->BinThVSlider);
    m_ui->BinThVSlider->setValue(int(std::lround(std::clamp(f, 0.0, 1.0) * kSliderSteps)));
  }
  setBinThV();
}

void ImgProc::setBinThV()
{
  // The threshold only matters to a binary image; otherwise it waits in
  // the field for the Binary box.
  if (!m_ui->BinaryImage->isChecked())
    return;
  rebuildCurrent();
  shiftBinImg();
}

void ImgProc::toggledEdgeDetect(bool f)
{
  m_ui->MaxEdgeV->setEnabled(f);
  m_ui->MinEdgeV->setEnabled(f);
  edgeDetect();
}

void ImgProc::edgeDetect()
{
  rebuildBase();
  shiftBinImg();
}

void ImgProc::binarize()
{
  rebuildCurrent();
  shiftBinImg();
}

void ImgProc::setRefBin()
{
  if (m_current.isEmpty())
    return;
  m_reference = m_current;
  m_reference.rescan();
  shiftBinImg();
}

// ---- Comparison and search -----------------------------------------------

bool ImgProc::canCompare() const
{
  if (m_current.isEmpty()) {
    qDebug().noquote() << "no bin image";
    return false;
  }
  if (m_reference.isEmpty()) {
    qDebug().noquote() << "no ref bin image";
    return false;
  }
  if (m_current.width != m_reference.width || m_current.height != m_reference.height) {
    qDebug().noquote() << "size mis-match";
    return false;
  }
  return true;
}

void ImgProc::shiftBinImg()
{
  m_comparison = ProcImage();
  if (!m_ui->Compare->isChecked() || !canCompare()) {
    drawOnImage();
    return;
  }
  if (m_ui->AAutoShift->isChecked())
    runSearch();
  compareAtFields();
}

void ImgProc::compareAtFields()
{
  const QPoint s = fieldShift();
  m_comparison = comparisonImage(m_current, m_reference, s.x(), s.y());
  recordScore(alignScore(m_current, m_reference, s.x(), s.y()));
  drawOnImage();
}

void ImgProc::autoShiftBinImg()
{
  if (!runSearch())
    return;
  if (m_ui->Compare->isChecked())
    compareAtFields();
  else
    drawOnImage();
}

void ImgProc::autoShiftBinImg0()
{
  runSearch();
}

bool ImgProc::runSearch()
{
  if (!canCompare())
    return false;
  const QPoint start = fieldShift();
  // The search starts from the score of its centre, computed afresh: the
  // score shown last may belong to another frame, reference, setting or
  // typed shift, and would pin the search or send it off.
  const double best = alignScore(m_current, m_reference, start.x(), start.y());
  const ShiftSearchResult r = searchBestShift(m_current, m_reference, start.x(), start.y(), best);
  const QPoint found(r.x, r.y);
  setFieldShift(found);
  recordScore(r.score);
  if (m_ui->ASetShift->isChecked())
    setShift();
  return true;
}

void ImgProc::step(int dx, int dy)
{
  const QPoint s = fieldShift();
  setFieldShift(QPoint(saturated(qint64(s.x()) + dx), saturated(qint64(s.y()) + dy)));
  shiftBinImg();
}

QPoint ImgProc::fieldShift() const
{
  return QPoint(fieldInt(m_ui->ShiftX), fieldInt(m_ui->ShiftY));
}

void ImgProc::setFieldShift(const QPoint& shift)
{
  m_ui->ShiftX->setText(QString::number(shift.x()));
  m_ui->ShiftY->setText(QString::number(shift.y()));
}

void ImgProc::recordScore(double score)
{
  m_lastScore = score;
  m_ui->NormScolarP->setText(QString::number(score, 'f', 6));
}

void ImgProc::setShift()
{
  const QPoint s = fieldShift();
  emit imgShift(s.x(), s.y());
}

void ImgProc::clearAllShifts()
{
  emit askClearAllShifts();
}

// ---- Display --------------------------------------------------------------

void ImgProc::drawOnImage()
{
  const bool comparing = m_ui->Compare->isChecked() && !m_comparison.isEmpty();
  const ProcImage& shown = comparing ? m_comparison : m_current;
  if (shown.isEmpty()) {
    m_ui->DispA->clearImage();
  } else {
    m_ui->DispA->setImage(renderProcImage(shown, m_mapping));
    m_ui->CBar->setMinMax(shown.min, shown.max);
  }
  emit updateImg();
}
