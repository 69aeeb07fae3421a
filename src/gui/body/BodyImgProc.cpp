// Body: the image processor window and the alignment shifts of the I1
// frames it asks for.

#include "gui/body/Body.h"
#include "gui/display/BringToFront.h"

#include "display/MapImages.h"

#include "display/ColorMap.h"
#include "gui/display/ImgDispA.h"
#include "gui/imgproc/ImgProc.h"
#include "gui/input/SelectDataFiles.h"
#include "input/TiffData.h"

#include "ui_Body.h"

void Body::setupImgProc()
{
  m_imgProc = std::make_unique<ImgProc>(this);
  m_imgProc->setWindowFlags(Qt::Window);
  connect(
    m_ui->ShowImgProc, &QPushButton::clicked, this, [this] { bringToFront(m_imgProc.get()); });
  connect(m_imgProc.get(), &ImgProc::askGiveData, this, &Body::giveProcData);
  connect(m_imgProc.get(), &ImgProc::imgShift, this, &Body::setImgShift);
  connect(m_imgProc.get(), &ImgProc::askClearAllShifts, this, &Body::clearAllShifts);
}

TiffData* Body::selectedI1Frame() const
{
  return i1Frames().at(m_i1List->currentIndex());
}

void Body::giveProcData()
{
  if (TiffData* frame = selectedI1Frame())
    m_imgProc->setFrame(frame);
}

void Body::setImgShift(int dx, int dy)
{
  TiffData* frame = selectedI1Frame();
  if (!frame || refusedDuringBatch(m_imgProc.get()))
    return;
  stopRunsReadingFrames();
  frame->xShift = dx;
  frame->yShift = dy;
  shiftsChanged({ frame });
}

void Body::clearAllShifts()
{
  if (refusedDuringBatch(m_imgProc.get()))
    return;
  stopRunsReadingFrames();
  QVector<TiffData*> changed;
  for (TiffData* frame : i1Frames().pointers()) {
    if (frame->xShift == 0 && frame->yShift == 0)
      continue;
    frame->xShift = 0;
    frame->yShift = 0;
    changed.append(frame);
  }
  shiftsChanged(changed);
}

void Body::shiftsChanged(const QVector<TiffData*>& frames)
{
  if (frames.isEmpty())
    return;
  // The display image carries the shift: the frame on view is drawn again,
  // the others when they are shown.
  TiffData* shown = shownStack().at(m_shownIndex);
  for (TiffData* frame : frames)
    if (frame != shown)
      frame->dropDisplay();
  if (shown && frames.contains(shown))
    shown->render(m_mapImages->mapping());
  if (shown && frames.contains(shown))
    m_ui->dispA->setImage(shown->displayImage);
  stacksChanged();
}
