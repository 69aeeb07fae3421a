#include "gui/analysis/ElemCtrl.h"
#include "app/TextItems.h"
#include "gui/app/NumberFields.h"

#include "analysis/Analyzed2DRes.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace {

QString sixDigits(double v)
{
  return QString::number(v, 'g', 6);
}

double numberOr(const QLineEdit* e, double fallback)
{
  return ::numberOr(e->text(), fallback);
}

} // namespace

ElemCtrl::ElemCtrl(const ElemEntry& entry, QWidget* parent)
  : QFrame(parent)
  , m_name(entry.name())
{
  setFrameShape(QFrame::StyledPanel);
  for (int k = 0; k < ElemMapCount; ++k)
    m_maps[k] = new Analyzed2DRes(elemMapName(m_name, k), this);

  m_use = new QCheckBox(tr("Use"), this);
  m_use->setObjectName(QStringLiteral("Use"));
  m_use->setChecked(true);
  m_nameLabel = new QLabel(m_name, this);
  m_nameLabel->setObjectName(QStringLiteral("Name"));
  m_mainTarget = new QRadioButton(tr("Target"), this);
  m_mainTarget->setObjectName(QStringLiteral("MainTarget"));
  m_show = new QRadioButton(tr("Show"), this);
  m_show->setObjectName(QStringLiteral("ShowElem"));
  m_eng = field(QStringLiteral("Eng"), sixDigits(entry.e0), tr("Expected Absorption Edge."));
  m_dE = field(QStringLiteral("DE"), QStringLiteral("20"), QString());
  m_prePostDE = field(QStringLiteral("PrePostDE"), QStringLiteral("10"), QString());
  m_roiS = field(QStringLiteral("ROIs"), QStringLiteral("7000"), tr("Start position of the ROI."));
  m_roiE = field(QStringLiteral("ROIe"), QStringLiteral("7005"), tr("End position of the ROI."));
  m_thDMut = field(QStringLiteral("ThDMut"),
                   QStringLiteral("0"),
                   tr("Threshold value of the dmut.") + QLatin1Char('\n') +
                     tr("When the dmut is less than the Threshold, most of the values (ROI, "
                        "dmut,...) is set at BG Val."));
  m_noNeg = new QCheckBox(tr("No Neg"), this);
  m_noNeg->setObjectName(QStringLiteral("NoNeg"));
  m_noNeg->setToolTip(
    tr("When the ROI is negative, the BG value is used instead of the calculated one."));
  m_stdRatioField = field(QStringLiteral("StdRatio"), QStringLiteral("0"), QString());
  m_dmutShown = display(QStringLiteral("DMuT"), tr("dmut is calculated as mu(E0+dE) - mu(E0-dE)."));
  m_ratioShown =
    display(QStringLiteral("Ratio"),
            tr("Relative strength of the dmut against the dmut of selecte element as Target."));
  m_roiShown = display(QStringLiteral("ROI"), QString());
  m_nroiShown =
    display(QStringLiteral("NROI"), tr("Normalized ROI value calculated as ROI / dmut."));
  m_eposShown = display(QStringLiteral("EPos"),
                        tr("Position of the absorption edge, where the mut is ( mu(E0+dE) + "
                           "mu(E0-dE) ) / 2."));

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(4, 2, 4, 2);
  int col = 0;
  auto add = [&](int row, QWidget* w) { grid->addWidget(w, row, col++); };
  auto label = [this](const QString& text) { return new QLabel(text, this); };
  add(0, m_use);
  add(0, m_nameLabel);
  add(0, m_mainTarget);
  add(0, m_show);
  add(0, label(tr("E0")));
  add(0, m_eng);
  add(0, label(tr("dE")));
  add(0, m_dE);
  add(0, label(tr("Pre/Post dE")));
  add(0, m_prePostDE);
  add(0, label(tr("Th dmut")));
  add(0, m_thDMut);
  add(0, m_noNeg);
  col = 0;
  add(1, label(tr("ROI")));
  add(1, m_roiS);
  add(1, m_roiE);
  add(1, label(tr("Std. Ratio")));
  add(1, m_stdRatioField);
  add(1, label(tr("dmut")));
  add(1, m_dmutShown);
  add(1, label(tr("Ratio")));
  add(1, m_ratioShown);
  add(1, label(tr("ROI Value")));
  add(1, m_roiShown);
  add(1, label(tr("NROI")));
  add(1, m_nroiShown);
  add(1, label(tr("E pos.")));
  add(1, m_eposShown);

  connect(m_stdRatioField, &QLineEdit::editingFinished, this, &ElemCtrl::newStdRatio);
}

ElemCtrl::~ElemCtrl() = default;

QLineEdit* ElemCtrl::field(const QString& objectName, const QString& text, const QString& tip)
{
  auto* e = new QLineEdit(text, this);
  e->setObjectName(objectName);
  acceptReals({ e });
  e->setMaximumWidth(70);
  if (!tip.isEmpty())
    e->setToolTip(tip);
  return e;
}

QLineEdit* ElemCtrl::display(const QString& objectName, const QString& tip)
{
  QLineEdit* e = field(objectName, QString(), tip);
  e->setReadOnly(true);
  return e;
}

Analyzed2DRes* ElemCtrl::map(int kind) const
{
  return (kind >= 0 && kind < ElemMapCount) ? m_maps[kind] : nullptr;
}

ElemCond ElemCtrl::conditions() const
{
  ElemCond c;
  c.name = m_name;
  c.e0 = numberOr(m_eng, 0.0);
  c.dE = numberOr(m_dE, c.dE);
  c.roiStart = numberOr(m_roiS, c.roiStart);
  c.roiEnd = numberOr(m_roiE, c.roiEnd);
  c.thDMut = numberOr(m_thDMut, c.thDMut);
  c.noNeg = m_noNeg->isChecked();
  c.use = m_use->isChecked();
  c.stdRatio = m_stdRatio;
  return c;
}

void ElemCtrl::showResult(const ElemResult& r)
{
  m_ratio = r.ratio;
  m_dmutShown->setText(sixDigits(r.dmut));
  m_ratioShown->setText(sixDigits(r.ratio));
  m_roiShown->setText(sixDigits(r.roi));
  m_nroiShown->setText(sixDigits(r.nroi));
  m_eposShown->setText(sixDigits(r.shift + numberOr(m_eng, 0.0)));
}

void ElemCtrl::setUse(bool f)
{
  m_use->setChecked(f);
}

void ElemCtrl::setDE(double dE)
{
  m_dE->setText(sixDigits(dE));
}

void ElemCtrl::setROI(double start, double end)
{
  m_roiS->setText(sixDigits(start));
  m_roiE->setText(sixDigits(end));
}

void ElemCtrl::setThDMut(double th)
{
  m_thDMut->setText(sixDigits(th));
}

void ElemCtrl::setNoNeg(bool f)
{
  m_noNeg->setChecked(f);
}

void ElemCtrl::setStdRatio(double r)
{
  m_stdRatio = r;
  m_stdRatioField->setText(sixDigits(r));
}

void ElemCtrl::newStdRatio()
{
  m_stdRatio = numberOr(m_stdRatioField, m_stdRatio);
}
