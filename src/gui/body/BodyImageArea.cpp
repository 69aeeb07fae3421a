// Body: the image area's layout (the image in its own shape, the profiles
// lined up with it) and the choice between frames and result maps.

#include "gui/body/Body.h"

#include "gui/analysis/Analyzer.h"
#include "analysis/LcfRun.h"
#include "gui/display/CrossSView.h"
#include "gui/display/ImageAreaLayout.h"
#include "gui/display/ImgDispA.h"
#include "gui/input/SelectDataFiles.h"

#include "ui_Body.h"

#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>

#include <algorithm>

void Body::sizeToControls()
{
  QSize want = sizeHint();
  const int margins = want.height() - m_ui->ControlScroll->sizeHint().height();
  want.setHeight(
    std::max(want.height(), m_ui->ControlBox->sizeHint().height() + std::max(margins, 0)));
  if (const QScreen* s = screen()) {
    // Room for the window frame the window manager adds.
    const QSize room = s->availableGeometry().size() - QSize(16, 48);
    want = want.boundedTo(room).expandedTo(minimumSizeHint());
  }
  resize(want);
}

void Body::setupImageArea()
{
  Ui::Body& ui = *m_ui;
  // The form's grid stretches the image to any shape; this layout keeps the
  // shape of the image shown and sizes the profiles to its sides.
  delete ui.ImageBox->layout();
  auto* area = new ImageAreaLayout(ui.dispA, ui.VCross, ui.CBar, ui.HCross, ui.ImageBox);
  connect(ui.dispA, &ImgDispA::imageSizeChanged, area, &ImageAreaLayout::setAspect);

  ui.VCross->setOrientation(Qt::Vertical);
  ui.HCross->setCaption(tr("absorption along the row"));
  ui.VCross->setCaption(tr("along the column"));
  // The profiles follow the view window, pixel for pixel with the image.
  connect(ui.dispA, &ImgDispA::viewWindowChanged, this, [this] {
    const QRectF v = m_ui->dispA->viewWindow();
    m_ui->HCross->setPositionRange(v.left(), v.right());
    m_ui->VCross->setPositionRange(v.top(), v.bottom());
  });

  // Each button asks for its view; when there is nothing of that kind to
  // show, the buttons go back to what the view still shows.
  connect(ui.ShowImages, &QRadioButton::toggled, this, [this](bool on) {
    if (!on)
      return;
    const int idx = m_shownIndex >= 0 ? m_shownIndex : shownList()->currentIndex();
    if (m_mapShown && shownStack().isValidIndex(idx))
      showData(idx);
    reflectShownKind();
  });
  connect(ui.ShowResAnalysis, &QRadioButton::toggled, this, [this](bool on) {
    if (!on)
      return;
    showCurrentMap();
    reflectShownKind();
  });
  connect(ui.ShowShiftMap, &QRadioButton::toggled, this, [this](bool on) {
    if (!on)
      return;
    showShiftMap(true);
    reflectShownKind();
  });
}

void Body::reflectShownKind()
{
  Ui::Body& ui = *m_ui;
  QRadioButton* shown = !m_mapShown       ? ui.ShowImages
                        : m_shiftMapShown ? ui.ShowShiftMap
                                          : ui.ShowResAnalysis;
  const QSignalBlocker block(shown);
  shown->setChecked(true);
}
