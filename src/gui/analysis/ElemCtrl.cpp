#include "gui/analysis/ElemCtrl.h"
#include "app/TextItems.h"
#include "gui/app/NumberFields.h"

#include "analysis/Analyzed2DRes.h"
#include "session/Session.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>

namespace {

QString sixDigits(double v)
{
  return QString::number(v, 'g', 6);
}

double numberOr(const QLineEdit* e, double fallback)
{
  return ::numberOr(e->text(), fallback);
}

// A field shows the value again only when it says another number: a field
// being typed into keeps its text, and a value with more digits than
// shown stays as it is.
void showNumber(QLineEdit* e, double v, double fallback)
{
  if (numberOr(e, fallback) == v || numberOr(sixDigits(v), v) == numberOr(e, fallback))
    return;
  const QSignalBlocker quiet(e);
  e->setText(sixDigits(v));
}

} // namespace

ElemCtrl::ElemCtrl(Session& session, int row, QWidget* parent)
  : QFrame(parent)
  , m_session(session)
  , m_row(row)
{
  setFrameShape(QFrame::StyledPanel);
  const ElemCond& c = cond();
  m_use = new QCheckBox(tr("Use"), this);
  m_use->setObjectName(QStringLiteral("Use"));
  m_use->setChecked(c.use);
  m_nameLabel = new QLabel(c.name, this);
  m_nameLabel->setObjectName(QStringLiteral("Name"));
  m_mainTarget = new QRadioButton(tr("Target"), this);
  m_mainTarget->setObjectName(QStringLiteral("MainTarget"));
  m_show = new QRadioButton(tr("Show"), this);
  m_show->setObjectName(QStringLiteral("ShowElem"));
  m_eng = field(QStringLiteral("Eng"), sixDigits(c.e0), tr("Expected Absorption Edge."));
  m_dE = field(QStringLiteral("DE"), sixDigits(c.dE), QString());
  m_prePostDE = field(QStringLiteral("PrePostDE"), QStringLiteral("10"), QString());
  m_roiS = field(QStringLiteral("ROIs"), sixDigits(c.roiStart), tr("Start position of the ROI."));
  m_roiE = field(QStringLiteral("ROIe"), sixDigits(c.roiEnd), tr("End position of the ROI."));
  m_thDMut = field(QStringLiteral("ThDMut"),
                   sixDigits(c.thDMut),
                   tr("Threshold value of the dmut.") + QLatin1Char('\n') +
                     tr("When the dmut is less than the Threshold, most of the values (ROI, "
                        "dmut,...) is set at BG Val."));
  m_noNeg = new QCheckBox(tr("No Neg"), this);
  m_noNeg->setObjectName(QStringLiteral("NoNeg"));
  m_noNeg->setChecked(c.noNeg);
  m_noNeg->setToolTip(
    tr("When the ROI is negative, the BG value is used instead of the calculated one."));
  m_stdRatioField = field(QStringLiteral("StdRatio"), sixDigits(c.stdRatio), QString());
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

  // The fields write the row as they change; a field that holds no number
  // counts as the default (the standard ratio: as it was).
  const ElemCond defaults;
  const auto number = [this](QLineEdit* e, double ElemCond::*value, double fallback) {
    connect(e, &QLineEdit::textChanged, this, [this, e, value, fallback] {
      cond().*value = numberOr(e, fallback);
    });
  };
  number(m_eng, &ElemCond::e0, 0.0);
  number(m_dE, &ElemCond::dE, defaults.dE);
  number(m_roiS, &ElemCond::roiStart, defaults.roiStart);
  number(m_roiE, &ElemCond::roiEnd, defaults.roiEnd);
  number(m_thDMut, &ElemCond::thDMut, defaults.thDMut);
  connect(m_stdRatioField, &QLineEdit::textChanged, this, [this] {
    cond().stdRatio = numberOr(m_stdRatioField, cond().stdRatio);
  });
  connect(m_use, &QCheckBox::toggled, this, [this](bool f) { cond().use = f; });
  connect(m_noNeg, &QCheckBox::toggled, this, [this](bool f) { cond().noNeg = f; });
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

ElemCond& ElemCtrl::cond() const
{
  return m_session.elemCond(m_row);
}

QString ElemCtrl::name() const
{
  return cond().name;
}

Analyzed2DRes* ElemCtrl::map(int kind) const
{
  // A row the Session no longer has (the view is being rebuilt) has none.
  if (kind < 0 || kind >= ElemMapCount || m_row >= int(m_session.elemRows().size()))
    return nullptr;
  return m_session.elemRows()[size_t(m_row)].maps[kind].get();
}

const ElemCond& ElemCtrl::conditions() const
{
  return cond();
}

void ElemCtrl::showResult(const ElemResult* r)
{
  m_dmutShown->setText(r ? sixDigits(r->dmut) : QString());
  m_ratioShown->setText(r ? sixDigits(r->ratio) : QString());
  m_roiShown->setText(r ? sixDigits(r->roi) : QString());
  m_nroiShown->setText(r ? sixDigits(r->nroi) : QString());
  m_eposShown->setText(r ? sixDigits(r->shift + cond().e0) : QString());
}

void ElemCtrl::showValues()
{
  const ElemCond& c = cond();
  const ElemCond defaults;
  m_use->setChecked(c.use);
  m_noNeg->setChecked(c.noNeg);
  showNumber(m_eng, c.e0, 0.0);
  showNumber(m_dE, c.dE, defaults.dE);
  showNumber(m_roiS, c.roiStart, defaults.roiStart);
  showNumber(m_roiE, c.roiEnd, defaults.roiEnd);
  showNumber(m_thDMut, c.thDMut, defaults.thDMut);
  showNumber(m_stdRatioField, c.stdRatio, c.stdRatio);
}
