// The batch in the windows: the core executor carries out every word on the
// Session, as the batch runner does; the words that concern the windows
// only come back here (WindowCommands), and after each word the windows
// show the Session again.
//
// The executor and its interpreter live on this thread: a command runs to
// its end inside the executor (a run spins an event loop while the
// engine's threads work, so the windows keep drawing and Stop gets in),
// and the interpreter moves on by its own queued trigger.

#include "gui/body/Body.h"
#include "gui/display/BringToFront.h"

#include "analysis/Analyzed2DRes.h"
#include "batch/BatchArgs.h"
#include "batch/BatchCommands.h"
#include "batch/BatchDispatcher.h"
#include "gui/analysis/Analyzer.h"
#include "gui/batch/BatchCtrl.h"
#include "gui/calibration/CalibCtrl.h"
#include "gui/display/ColorBar.h"
#include "gui/display/ImgDispA.h"
#include "gui/input/EOFSetup.h"
#include "gui/input/SelectDataFiles.h"
#include "gui/output/SaveDataCfg.h"
#include "gui/spectrum/XafsView.h"
#include "input/TiffData.h"
#include "output/SpectraSaveRun.h"
#include "session/Session.h"

#include "ui_Body.h"

#include <QDebug>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>

void Body::setupBatch()
{
  m_executor = std::make_unique<BatchExecutor>(*m_session);
  // Refused numbers show in the status line too.
  m_executor->setWindows(this, this);
  m_batchCtrl = new BatchCtrl(this);
  m_batchCtrl->setWindowFlags(Qt::Window);
  m_batchCtrl->setDispatcher(m_executor->dispatcher());
  // What the last batch was refused is over when the next one starts.
  connect(m_batchCtrl, &BatchCtrl::doDispatchCmds, this, [this] { statusBar()->clearMessage(); });
  connect(m_executor.get(), &BatchExecutor::commandEnded, this, &Body::showSession);
  connect(m_executor.get(), &BatchExecutor::commandEnded, this, [this] {
    auto* line =
      m_analyzer->findChild<QLabel*>(QStringLiteral("RefusalLine"), Qt::FindDirectChildrenOnly);
    if (!line)
      return;
    if (!m_commandFailed && !line->text().isEmpty() && line->text() == m_refusalBefore)
      showRefusal(m_analyzer.get(), QString());
    m_refusalBefore = line->text();
    m_commandFailed = false;
  });
  connect(m_executor.get(),
          &BatchExecutor::commandFailed,
          this,
          [this](const QString& line, const QString& reason) {
            m_commandFailed = true;
            // Marked in the batch window's log, after the command's own line,
            // which the interpreter has queued to it.
            CmdLine shown = parseCmdLine(line);
            const bool unknown = shown.code == BatchCmd::Unknown &&
                                 batchExtraCommandCode(shown.cmd) == BatchExtraCmd::None;
            shown.line = line;
            QMetaObject::invokeMethod(
              m_batchCtrl,
              [ctrl = m_batchCtrl, shown, unknown, reason] {
                if (unknown)
                  ctrl->showCmdErr(shown);
                else
                  ctrl->showCmdFailed(reason);
              },
              Qt::QueuedConnection);
          });
  // A change made by a word's run (or by a window) is shown once the event
  // loop turns.
  connect(m_session.get(), &Session::changed, this, [this] {
    if (m_showSessionPending)
      return;
    m_showSessionPending = true;
    QTimer::singleShot(0, this, [this] {
      if (m_showSessionPending)
        showSession();
    });
  });
  setupSaving();
}

bool Body::runWindowCommand(const CmdLine& c)
{
  using namespace BatchCmd;
  const BatchArgs a(c.args);
  Ui::Body& ui = *m_ui;
  switch (c.code) {
    case ShowLatestI0:
    case ShowLatestI1:
      (c.code == ShowLatestI1 ? m_i1List : m_i0List)->setShowLatest(a.flag(0));
      return true;
    case SelectDispImage: {
      // What the main view shows (0 images, 1 analysis result, 2 shift
      // map), then which stack (1 I1, 0 I0).
      QRadioButton* const what[] = { ui.ShowImages, ui.ShowResAnalysis, ui.ShowShiftMap };
      if (a.integer(0) >= 0 && a.integer(0) < 3)
        what[a.integer(0)]->setChecked(true);
      if (a.count() > 1)
        (a.flag(1) ? ui.ShowData : ui.ShowI0Data)->setChecked(true);
      return true;
    }
    case SeekImage:
      showData(a.integer(0));
      return true;
    case SaveImage:
      return saveImage(a.text(0));
    case SaveImageWNum:
      return saveImageWNum(a.text(0), a.text(1));
    case SaveAllImages:
      saveAllImages(a.text(0));
      return true;
    case MovePosition:
      // The spectrum position follows the display's cursor.
      ui.dispA->setRealMousePos(a.integer(0), a.integer(1));
      showXafsSpectrum(a.integer(0), a.integer(1));
      ui.dispA->update();
      return true;
    case CbarSetRange:
      // Values at the bottom and the top of the bar, then the two limits
      // as fractions of the bar.
      ui.CBar->setMinMax(a.number(0), a.number(1));
      if (a.count() > 2)
        ui.CBar->setLimits(a.number(2), a.number(3));
      cBarUpdated();
      return true;
    case CbarSetAll:
      ui.CBar->setLimits(0.0, 1.0);
      cBarUpdated();
      return true;
    case ScaleReset:
      ui.dispA->resetImageViewWindow();
      return true;
    case ZoomIn:
      ui.dispA->setViewWAsSelectedArea();
      return true;
    case XafsViewNormalize:
      xafsView()->setNormalize(a.flag(0));
      return true;
    case XafsViewEnergyCorrection:
      xafsView()->setEnergyCorrection(a.flag(0));
      return true;
    case AnalyzerShowWindow:
      m_analyzer->show();
      return true;
    case AnalyzerViewNormalize:
      m_analyzer->setNormalize(a.flag(0));
      return true;
    case CalibShowWindow:
      bringToFront(m_calibCtrl);
      return true;
    case SaveDataCfgShowWindow:
      bringToFront(m_saveDataCfg);
      return true;
    case SuggestingPreEndEV:
    case SuggestingPostStartEV:
      // The Session holds the value; the fields show it with the rest.
      return true;
    case Quit:
      // The program ends: no report, the interpreter goes with it.
      emit finishing();
      return true;
    default:
      qDebug().noquote() << QStringLiteral("%1 : not available in this version").arg(c.cmd);
      return false;
  }
}

bool Body::refusedDuringBatch(QWidget* window)
{
  if (!m_executor || !m_executor->isExecuting())
    return false;
  refuseIn(window,
           QStringLiteral("A batch command is running: the images stay as they are"),
           tr("A batch command is running: the images stay as they are"));
  return true;
}

void Body::showSession()
{
  m_showSessionPending = false;
  if (m_closing)
    return;
  showFields();
  showStacks();
  m_analyzer->showSession();
  m_calibCtrl->showCalibration();
  // The spectrum window draws the standard beside the spectrum.
  if (m_calibCtrl->standard() != m_shownStandard) {
    m_shownStandard = m_calibCtrl->standard();
    newStdFile();
  }
  m_saveDataCfg->showOptions();
  // The map on view is drawn again from the Session's values (a scale
  // changed them); a map the choice or a run made new comes on view, as
  // the end of a run shows its maps; otherwise a frame stays.
  const Analyzed2DRes* map = m_analyzer->currentMap();
  const MapStamp stamp{ map, map->generation() };
  const bool newMap = map->hasData() && stamp != m_shownStamp;
  m_shownStamp = stamp;
  if (m_mapShown && m_shiftMapShown)
    renderShiftMap();
  else if (m_mapShown || newMap)
    renderShownMap();
  showSaveTarget();
  m_ui->dispA->update();
  refreshSpectrumSoon();
}

void Body::showFields()
{
  const Session& s = *m_session;
  Ui::Body& ui = *m_ui;
  // Blocked: a field's own handler would write the other fields' old
  // values back into the Session.
  auto setText = [](QLineEdit* e, const QString& text) {
    if (e->text() == text)
      return;
    const QSignalBlocker block(e);
    e->setText(text);
  };
  auto setChecked = [](QAbstractButton* b, bool on) {
    const QSignalBlocker block(b);
    b->setChecked(on);
  };
  setText(ui.HWidth, QString::number(s.bandW));
  setText(ui.VWidth, QString::number(s.bandH));
  setChecked(ui.UseI0, s.useI0);
  // The other button of the pair follows (and writes the same value).
  setChecked(s.fluorescence ? ui.FluoType : ui.Transmission, true);
  setChecked(ui.SuggestElm, s.suggestElm);
  setText(ui.SuggestingElm, s.suggestedElement);
  if (ui.SuggestingEdge->currentIndex() != s.suggestedEdgeIndex) {
    const QSignalBlocker block(ui.SuggestingEdge);
    ui.SuggestingEdge->setCurrentIndex(s.suggestedEdgeIndex);
  }
  setText(ui.SuggestingEeV, s.suggestedEdgeEV);
  setText(ui.DPreE, s.preEdgeEnd);
  setText(ui.DPostS, s.postEdgeStart);
  QRadioButton* const formats[] = { ui.SaveAsNormalizedXAFS, ui.SaveAsRawXAFS, ui.SaveAsRaw };
  setChecked(formats[int(s.spectraFormat)], true);
  // The area on the image.
  const QRectF shownArea = ui.dispA->isAreaSelected() ? ui.dispA->selectedArea() : QRectF();
  if (shownArea != s.region) {
    const QSignalBlocker block(ui.dispA);
    if (s.region.isEmpty())
      ui.dispA->clearSelectedArea();
    else
      ui.dispA->setSelectedArea(
        int(s.region.left()), int(s.region.top()), int(s.region.right()), int(s.region.bottom()));
  }
  if (s.position != QPoint(m_posX, m_posY)) {
    m_posX = s.position.x();
    m_posY = s.position.y();
  }
}

void Body::showStacks()
{
  const bool shownBefore = !shownStack().isEmpty();
  showStackList(true);
  showStackList(false);
  updateSeekRange();
  const FrameStack& stack = shownStack();
  if (stack.isEmpty()) {
    if (shownBefore && !m_mapShown)
      showNothing();
    return;
  }
  // A stack the Session loaded shows its last frame, as a load shows its
  // arrivals.
  if (!m_mapShown && (m_shownIndex < 0 || !stack.isValidIndex(m_shownIndex) ||
                      stack.at(m_shownIndex)->displayImage.isNull()))
    showData(stack.size() - 1);
}

void Body::showStackList(bool isI1)
{
  SelectDataFiles* list = isI1 ? m_i1List : m_i0List;
  const FrameStack& stack = m_session->stack(isI1);
  // Loads of the windows' own keep their list up to date frame by frame.
  if (list->loading())
    return;
  // The options a batch set: the next load by hand starts from them.
  const Session::StackOptions& opt = m_session->stackOptions(isI1);
  list->eofSetup()->showRule(opt.rule);
  // A load reads a skip below 1 as 1 and a cut below 0 as 0.
  if (std::max(1, list->skip()) != opt.skip || std::max(0, list->cutFirst()) != opt.cutFirst ||
      std::max(0, list->cutLast()) != opt.cutLast) {
    const QSignalBlocker block(list);
    list->setSkip(opt.skip);
    list->setCutF(opt.cutFirst);
    list->setCutL(opt.cutLast);
  }
  bool same = list->count() == stack.size();
  for (int i = 0; same && i < stack.size(); ++i)
    same = list->fileName(i) == stack.at(i)->fileName;
  if (same)
    return;
  const QSignalBlocker block(list);
  list->clearFiles();
  for (const TiffData* frame : stack.pointers())
    list->addFileWithEnergy(frame->fileName, frame->energy);
}
