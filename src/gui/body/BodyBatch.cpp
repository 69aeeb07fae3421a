// The batch command executor: every command word of the batch language
// drives the field, check box or button of its target window, as a user
// would, and reports its end to the interpreter.
//
// Ends travel by the numbered route (PendingBatchCmd -> finishBatchCmd(seq)),
// so a load started by hand or the end of a superseded run never moves a
// batch on: each command that ends later waits for its own event. Body's
// finishBatchExec() is still emitted at every end (by the loaders' and the
// run's own wiring for those), for whoever watches it.

#include "gui/body/Body.h"
#include "gui/display/BringToFront.h"

#include "analysis/LcfRun.h"
#include "analysis/MapsRun.h"
#include "analysis/PointRun.h"
#include "batch/BatchArgs.h"
#include "batch/BatchCommands.h"
#include "batch/BatchDispatcher.h"
#include "batch/BatchThread.h"
#include "gui/analysis/AElemsConds.h"
#include "gui/analysis/Analyzer.h"
#include "gui/analysis/LCFReference.h"
#include "gui/batch/BatchCtrl.h"
#include "gui/calibration/CalibCtrl.h"
#include "gui/display/ColorBar.h"
#include "gui/display/ImgDispA.h"
#include "gui/input/SelectDataFiles.h"
#include "gui/output/SaveDataCfg.h"
#include "gui/spectrum/XafsView.h"
#include "input/LoadTiff.h"
#include "output/SpectraSaveRun.h"

#include "ui_Body.h"

#include <QComboBox>
#include <QDebug>
#include <QDir>
#include <QRadioButton>

namespace {

using Args = BatchArgs;

void notAvailable(const CmdLine& c)
{
  qDebug().noquote() << QStringLiteral("%1 : not available in this version").arg(c.cmd);
}

} // namespace

void Body::setupBatchExec()
{
  BatchDispatcher* d = m_batchThread->dispatcher();
  connect(d, &BatchDispatcher::execCmdSig, this, &Body::execCmdSlot);
  connect(this, &Body::finishBatchCmd, d, &BatchDispatcher::finishBatchCmd);
  // After Body's own end-of-load bookkeeping (connected before), so the
  // next command sees the finished stack.
  connect(m_i1Loader.get(), &LoadTiff::finishLoadFiles, this, [this] { batchLoadEnded(true); });
  connect(m_i0Loader.get(), &LoadTiff::finishLoadFiles, this, [this] { batchLoadEnded(false); });
}

void Body::endBatchCmd()
{
  if (const quint64 seq = m_pendingCmd.take())
    emit finishBatchCmd(seq);
}

void Body::batchLoadEnded(bool isI1)
{
  if (m_batchLoad.ahead <= 0 || m_batchLoad.isI1 != isI1)
    return;
  // Loads run one after another: ours is the `ahead`-th end from its start.
  if (--m_batchLoad.ahead == 0)
    endBatchCmd();
}

void Body::execCmdSlot(CmdLine cmd, bool inRem)
{
  m_pendingCmd.begin(cmd);
  // Remarks and blank lines are not carried out; they only end.
  const bool reportNow = inRem || runBatchCmd(cmd);
  if (reportNow) {
    emit finishBatchExec();
    endBatchCmd();
  }
}

bool Body::runBatchCmd(const CmdLine& asWritten)
{
  CmdLine c = parseCmdLine(asWritten.substLine);
  c.seq = asWritten.seq;
  if (c.cmd.isEmpty() || !batchNumbersValid(c.cmd, c.args))
    return true;
  if (c.code == BatchCmd::Unknown && batchExtraCommandCode(c.cmd) != BatchExtraCmd::None)
    return execExtraCmd(c);
  if (c.code == BatchCmd::Unknown) {
    m_batchCtrl->showCmdErr(asWritten);
    // An unattended run has no batch window to read: say it where its log goes.
    qDebug().noquote() << QStringLiteral("Err: %1").arg(asWritten.line);
    return true;
  }
  if (c.code <= BatchCmd::SetFluoType || c.code == BatchCmd::UseI0)
    return execFileCmd(c);
  if (c.code <= BatchCmd::XafsViewEnergyCorrection || c.code == BatchCmd::Quit ||
      c.code >= BatchCmd::SuggestElm)
    return execDisplayCmd(c);
  if (c.code <= BatchCmd::AnalyzerExecElems)
    return execAnalyzerCmd(c);
  if (c.code <= BatchCmd::CalibSaveMap)
    return execCalibCmd(c);
  execSaveCfgCmd(c);
  return true;
}

bool Body::startBatchLoad(const QStringList& files, bool newFile, bool isI1)
{
  if (files.isEmpty()) {
    qDebug().noquote() << "No files to load";
    return true;
  }
  if (energiesRefused(files, isI1 ? m_i1List : m_i0List))
    return true; // refused, and ended at once
  if (isI1)
    readI1Files(files, newFile);
  else
    readI0Files(files, newFile);
  m_batchLoad.isI1 = isI1;
  m_batchLoad.ahead = isI1 ? m_i1Load.pending : m_i0Load.pending;
  return false;
}

bool Body::execFileCmd(const CmdLine& c)
{
  using namespace BatchCmd;
  const Args a(c.args);
  // Codes up to 7 come I1 first; from 8 on, I0 first.
  const bool isI1 = c.code < CutFI0 ? c.code % 2 == 0 : c.code % 2 == 1;
  SelectDataFiles* list = isI1 ? m_i1List : m_i0List;
  switch (c.code) {
    case ClearI1Files:
      clearI1Files();
      break;
    case ClearI0Files:
      clearI0Files();
      break;
    case SetI1EnergyPattern:
    case SetI0EnergyPattern:
    case EngByNameRegExpI0:
    case EngByNameRegExpI1:
      list->setEngByNameRegExp(a.text(0));
      break;
    case LoadI1Files:
    case LoadI0Files:
    case LoadI1FilesOfPattern:
    case LoadI0FilesOfPattern: {
      if (a.count() == 0)
        break; // nothing to load, not even a mode
      const bool newFile = a.text(0).compare(QLatin1String("NEW"), Qt::CaseInsensitive) == 0;
      const bool ofPattern = c.code >= LoadI1FilesOfPattern;
      const QStringList files = ofPattern ? batchFilesOfPattern(a.text(1), a.text(2)) : a.from(1);
      return startBatchLoad(files, newFile, isI1);
    }
    case CutFI0:
    case CutFI1:
      list->setCutF(a.integer(0));
      break;
    case CutLI0:
    case CutLI1:
      list->setCutL(a.integer(0));
      break;
    case SkipI0:
    case SkipI1:
      list->setSkip(a.integer(0));
      break;
    case ShowLatestI0:
    case ShowLatestI1:
      list->setShowLatest(a.flag(0));
      break;
    case EngByNameI0:
    case EngByNameI1:
      list->setEngByName(true);
      break;
    case EngByNameFactorI0:
    case EngByNameFactorI1:
      list->setEngByNameFactor(a.number(0));
      break;
    case EngByCalcI0:
    case EngByCalcI1:
      list->setEngByCalc(a.flag(0));
      break;
    case EngCalcBaseI0:
    case EngCalcBaseI1:
      list->setEngCalcStart(a.number(0));
      break;
    case EngCalcDeltaI0:
    case EngCalcDeltaI1:
      list->setEngCalcDelta(a.number(0));
      break;
    case EngCalcEndI0:
    case EngCalcEndI1:
      list->setEngCalcEnd(a.number(0));
      break;
    case EngCalcNumI0:
    case EngCalcNumI1:
      list->setEngCalcNum(a.integer(0));
      break;
    case EngCalcEvenInEngI0:
    case EngCalcEvenInEngI1:
      list->setEvenInEng(a.flag(0));
      break;
    case EngCalcEvenInDegI0:
    case EngCalcEvenInDegI1:
      list->setEvenInDeg(a.flag(0));
      break;
    case EngCalcDispUnitI0:
    case EngCalcDispUnitI1:
      list->setDispUnit(a.integer(0));
      break;
    case EngByRefI0:
    case EngByRefI1:
      list->setEngByRef(a.text(0));
      break;
    case SetFluoType:
      (a.flag(0) ? m_ui->FluoType : m_ui->Transmission)->setChecked(true);
      break;
    case UseI0:
      m_ui->UseI0->setChecked(a.flag(0));
      break;
    default:
      break;
  }
  return true;
}

bool Body::execDisplayCmd(const CmdLine& c)
{
  using namespace BatchCmd;
  const Args a(c.args);
  Ui::Body& ui = *m_ui;
  switch (c.code) {
    case SetBandW:
      ui.HWidth->setText(QString::number(a.integer(0)));
      break;
    case SetBandH:
      ui.VWidth->setText(QString::number(a.integer(0)));
      break;
    case SelectDispImage: {
      // What the main view shows (0 images, 1 analysis result, 2 shift
      // map), then which stack (1 I1, 0 I0).
      QRadioButton* const what[] = { ui.ShowImages, ui.ShowResAnalysis, ui.ShowShiftMap };
      if (a.integer(0) >= 0 && a.integer(0) < 3)
        what[a.integer(0)]->setChecked(true);
      if (a.count() > 1)
        (a.flag(1) ? ui.ShowData : ui.ShowI0Data)->setChecked(true);
      break;
    }
    case SeekImage:
      showData(a.integer(0));
      break;
    case SaveImage:
      saveImage(a.text(0));
      break;
    case SaveImageWNum:
      saveImageWNum(a.text(0), a.text(1));
      break;
    case SaveAllImages:
      saveAllImages(a.text(0));
      break;
    case SaveData:
      saveData(a.text(0));
      break;
    case SaveDataAsTiff:
      saveDataAsTiff(a.text(0), mapIndex());
      break;
    case MovePosition:
      // The spectrum position follows the display's cursor.
      ui.dispA->setRealMousePos(a.integer(0), a.integer(1));
      showXafsSpectrum(a.integer(0), a.integer(1));
      ui.dispA->update();
      break;
    case CbarSetRange:
      qDebug().noquote() << "setting cbar";
      // Values at the bottom and the top of the bar, then the two limits
      // as fractions of the bar.
      ui.CBar->setMinMax(a.number(0), a.number(1));
      if (a.count() > 2)
        ui.CBar->setLimits(a.number(2), a.number(3));
      cBarUpdated();
      break;
    case CbarSetAll:
      qDebug().noquote() << "cbar set all";
      ui.CBar->setLimits(0.0, 1.0);
      cBarUpdated();
      break;
    case SelectRegion:
      ui.dispA->setSelectedArea(
        a.integer(0), a.integer(1), a.integer(0) + a.integer(2), a.integer(1) + a.integer(3));
      break;
    case ScaleReset:
      ui.dispA->resetImageViewWindow();
      break;
    case ZoomIn:
      ui.dispA->setViewWAsSelectedArea();
      break;
    case SaveSpectra:
      xafsView()->saveData(a.text(0));
      break;
    case XafsViewNormalize:
      xafsView()->setNormalize(a.flag(0));
      break;
    case XafsViewEnergyCorrection:
      xafsView()->setEnergyCorrection(a.flag(0));
      break;
    case SuggestElm:
      ui.SuggestElm->setChecked(a.flag(0));
      refreshSuggestedEdge();
      break;
    case SuggestingElm:
      ui.SuggestingElm->setText(a.text(0));
      break;
    case SuggestingEdge:
      if (a.integer(0) >= 0 && a.integer(0) < ui.SuggestingEdge->count())
        ui.SuggestingEdge->setCurrentIndex(a.integer(0));
      refreshSuggestedEdge();
      break;
    case SuggestingEdgeEV:
      ui.SuggestingEeV->setText(a.text(0));
      break;
    case SuggestingPreEndEV:
      ui.DPreE->setText(a.text(0));
      break;
    case SuggestingPostStartEV:
      ui.DPostS->setText(a.text(0));
      break;
    case Quit:
      // The program ends: no report, the interpreter goes with it.
      m_pendingCmd.take();
      emit finishing();
      return false;
    default:
      break;
  }
  return true;
}

bool Body::execAnalyzerCmd(const CmdLine& c)
{
  using namespace BatchCmd;
  const Args a(c.args);
  Analyzer* an = analyzer();
  switch (c.code) {
    case AnalyzerShowWindow:
      an->show();
      break;
    case AnalyzerSetLCFStd:
      // row (from 0), use flag, energy shift, file, Victoreen flag
      an->setLCFStd(a.integer(0), a.flag(1), a.number(2), a.text(3), a.text(4));
      break;
    case AnalyzerSetLCFMode:
      an->setLCFMode(a.integer(0));
      break;
    case AnalyzerExecLCF:
      // Reported by the run's end (at once when it refuses to start).
      return !startBatchLcfRun();
    case AnalyzerSelectImage:
      an->selectImage(a.integer(0));
      break;
    case AnalyzerSelectImageType: {
      qDebug().noquote() << "Selecting img Type" << a.integer(1);
      // reference row (from 0), then 0 amount / 1 fraction
      an->selectLCFMap(a.integer(0), a.integer(1));
      break;
    }
    case AnalyzerSetRaEnergy:
      an->setRaEnergy(a.number(0));
      break;
    case AnalyzerSetRaFactor:
      an->setRaFactor(a.number(0));
      break;
    case AnalyzerSetFixedScale:
      an->setFixedScale(a.flag(0));
      break;
    case AnalyzerSetScaleMax:
    case AnalyzerSetScaleMin:
      // The value, the (optional) fixed-scale flag that makes it count,
      // then the scale is applied to the map on view, as an edit by hand
      // does.
      if (c.code == AnalyzerSetScaleMax)
        an->setScaleMax(a.number(0));
      else
        an->setScaleMin(a.number(0));
      if (a.count() > 1)
        an->setFixedScale(a.flag(1));
      an->scaleChanged();
      break;
    case AnalyzerSetDMutScaleMax:
      an->setDMutScaleMax(a.number(0));
      break;
    case AnalyzerSetDMutScaleMin:
      an->setDMutScaleMin(a.number(0));
      break;
    case AnalyzerSetRatioScaleMax:
      an->setRatioScaleMax(a.number(0));
      break;
    case AnalyzerSetRatioScaleMin:
      an->setRatioScaleMin(a.number(0));
      break;
    case AnalyzerViewNormalize:
      an->setNormalize(a.flag(0));
      break;
    case AnalyzerViewEnergyCorrection:
      an->setEnergyCorrection(a.flag(0));
      break;
    case AnalyzerTargetElements:
      an->setTargetElements(a.text(0));
      // As when the field is edited by hand: the rows follow.
      an->newElems();
      break;
    case AnalyzerExecRa:
      // Reported by the run's end (at once when it refuses to start).
      return !startBatchMapsRun(raRun(), &Body::startRA2DAnalysis);
    case AnalyzerExecElems:
      return !startBatchMapsRun(elemRun(), &Body::startElems2DAnalysis);
    default:
      if (c.code >= AnalyzerSelectAnalysisMode && c.code <= AnalyzerElemsBgNROI)
        return execElemsCmd(c);
      notAvailable(c);
      break;
  }
  return true;
}

bool Body::execElemsCmd(const CmdLine& c)
{
  using namespace BatchCmd;
  const Args a(c.args);
  Analyzer* an = analyzer();
  switch (c.code) {
    case AnalyzerSelectAnalysisMode:
      an->selectAnalysisMode(a.integer(0));
      break;
    case AnalyzerElemsSelectTarget:
      // an edge name ("Fe-K") or a row number (from 0)
      an->selectElemTarget(a.text(0));
      break;
    case AnalyzerElemsSelectShow:
      if (an->selectElemShow(a.text(0)))
        showCurrentMap();
      break;
    case AnalyzerElemsSetDeVs:
      an->setElemsDE(a.number(0));
      break;
    case AnalyzerElemsSetCorrTh:
      an->setCorTh(a.number(0));
      break;
    case AnalyzerElemsSelectDispMode:
      an->selectElemsDispMode(a.integer(0));
      break;
    case AnalyzerElemsSetUse:
      an->setElemUse(a.text(0), a.flag(1));
      break;
    case AnalyzerElemsSortByAn:
      an->setSortByAN(a.flag(0));
      break;
    case AnalyzerElemsRoi:
      an->setElemROI(a.text(0), a.number(1), a.number(2));
      break;
    case AnalyzerElemsThdmut:
      an->setElemThDMut(a.text(0), a.number(1));
      break;
    case AnalyzerElemsNoNeg:
      an->setElemNoNeg(a.text(0), a.flag(1));
      break;
    default: // the five background values, in their order
      an->setElemBackground(c.code - AnalyzerElemsBgDMut, a.number(0));
      break;
  }
  return true;
}

bool Body::startBatchMapsRun(MapsRun* run, void (Body::*start)())
{
  connect(
    run, &MapsRun::ended, this, [this, run] { mapsRunEnded(run); }, Qt::UniqueConnection);
  // A run still going ends first (its end is not ours); whatever happens,
  // every start ends exactly once.
  m_mapsRunEndsToSkip = run->isRunning() ? 1 : 0;
  m_batchMapsRun = run;
  (this->*start)();
  if (m_batchMapsRun == run && !run->isRunning() && m_mapsRunEndsToSkip == 0) {
    m_batchMapsRun = nullptr;
    return false;
  }
  return true;
}

void Body::mapsRunEnded(MapsRun* run)
{
  if (m_batchMapsRun != run)
    return;
  if (m_mapsRunEndsToSkip > 0) {
    --m_mapsRunEndsToSkip;
    return;
  }
  m_batchMapsRun = nullptr;
  endBatchCmd();
}

bool Body::execCalibCmd(const CmdLine& c)
{
  using namespace BatchCmd;
  const Args a(c.args);
  switch (c.code) {
    case CalibShowWindow:
      bringToFront(m_calibCtrl);
      break;
    case CalibLoadStd:
      m_calibCtrl->loadStd(a.text(0));
      break;
    case CalibSetEdgeEV:
      m_calibCtrl->setEdgeEV(a.text(0));
      break;
    case CalibExec:
      // The next command waits for the run's end, which calibRunEnded
      // reports (already done when the run ended at once).
      // A run still going ends first; its end is not this command's.
      if (isCalibrationRunning())
        m_calibRun->stop();
      m_batchWaitsForCalib = true;
      execCalibration();
      return false;
    case CalibLoadMap:
      loadEMap(a.text(0));
      break;
    case CalibClearMap:
      clearShiftMap();
      break;
    case CalibSaveMap:
      saveEMap(a.text(0));
      break;
    default:
      break;
  }
  return true;
}

void Body::calibRunEnded()
{
  if (!m_batchWaitsForCalib)
    return;
  m_batchWaitsForCalib = false;
  endBatchCmd();
}

void Body::execSaveCfgCmd(const CmdLine& c)
{
  using namespace BatchCmd;
  const Args a(c.args);
  SaveDataCfg* cfg = m_saveDataCfg;
  switch (c.code) {
    case SaveDataCfgShowWindow:
      bringToFront(cfg);
      break;
    case SaveDataCfgSaveAsTiff:
      qDebug().noquote() << "setting save as tiff";
      cfg->setSaveAsTiff();
      break;
    case SaveDataCfgSaveAsText:
      qDebug().noquote() << "setting save as text";
      cfg->setSaveAsText();
      break;
    case SaveDataCfgTiffFixScale:
      cfg->setSaveTiffScaleFixed(a.flag(0));
      break;
    case SaveDataCfgTiffScaleMin:
      cfg->setSaveTiffScaleMin(a.number(0));
      break;
    case SaveDataCfgTiffScaleMax:
      cfg->setSaveTiffScaleMax(a.number(0));
      break;
    case SaveDataCfgTiffAsAnalyzed:
      cfg->setSaveTiffAsAnalyzed(a.flag(0));
      break;
    case SaveDataCfgTextAsCsv:
      cfg->setSaveTextAsCSV();
      break;
    case SaveDataCfgTextAsSsv:
      cfg->setSaveTextAsSSV();
      break;
    case SaveDataCfgTextAsXyz:
      cfg->setSaveTextAsXYVal();
      break;
    case SaveDataCfgTextAsVals:
      cfg->setSaveTextAsValValVal();
      break;
    default:
      break;
  }
}

bool Body::startBatchLcfRun()
{
  connect(lcfRun(), &LcfRun::ended, this, &Body::lcfRunEnded, Qt::UniqueConnection);
  // A run still going ends first (its end is not ours); whatever happens,
  // every start ends exactly once.
  m_runEndsToSkip = lcfRun()->isRunning() ? 1 : 0;
  m_batchWaitsForRun = true;
  startLCF2DAnalysis();
  if (m_batchWaitsForRun && !lcfRun()->isRunning() && m_runEndsToSkip == 0) {
    // Refused without a word: do not wait for an end that never comes.
    m_batchWaitsForRun = false;
    return false;
  }
  return true;
}

void Body::lcfRunEnded()
{
  if (!m_batchWaitsForRun)
    return;
  if (m_runEndsToSkip > 0) {
    --m_runEndsToSkip;
    return;
  }
  m_batchWaitsForRun = false;
  endBatchCmd();
}

bool Body::execExtraCmd(const CmdLine& c)
{
  const Args a(c.args);
  switch (batchExtraCommandCode(c.cmd)) {
    case BatchExtraCmd::SaveEachSpectrum:
      break;
    case BatchExtraCmd::AnalyzerSetLCFConstraint:
      // sum-to-1 flag, then optionally the non-negative flag
      analyzer()->setLCFConstraint(a.flag(0), a.flag(1));
      return true;
    case BatchExtraCmd::AnalyzerSetLCFResidual: {
      bool rFactor = false;
      if (!residualFromName(a.text(0), rFactor)) {
        qDebug().noquote() << unknownResidualLine(c.cmd, a.text(0));
        return true; // refused, and ended at once
      }
      analyzer()->setLCFResidualRFactor(rFactor);
      return true;
    }
    case BatchExtraCmd::LoadHdf5Stack:
      return execLoadHdf5Cmd(c);
    case BatchExtraCmd::SaveDataCfgSaveAsHdf5:
      // save_data then writes every map into one HDF5 file.
      m_saveDataCfg->setSaveAsHdf5();
      return true;
    case BatchExtraCmd::CalibRemoveOutliers:
      normalizeEShift();
      return true;
    case BatchExtraCmd::CalibSetEdgeLocate:
    case BatchExtraCmd::AnalyzerSetElemEdgeLocate: {
      // grid | interpolated | derivative
      EdgeLocate locate = EdgeLocate::Grid;
      if (!edgeLocateFromName(a.text(0), locate)) {
        qDebug().noquote() << QStringLiteral("%1 : unknown edge position %2 (grid, "
                                             "interpolated or derivative)")
                                .arg(c.cmd, a.text(0));
        return true;
      }
      if (batchExtraCommandCode(c.cmd) == BatchExtraCmd::CalibSetEdgeLocate)
        m_calibCtrl->setEdgeLocate(locate);
      else
        analyzer()->elemsConds()->setEdgeLocate(locate);
      return true;
    }
    default:
      return execComponentCmd(c);
  }
  // save_each_spectrum FILE [normalized|raw_xafs|raw]: the format word
  // sets the radio button as a user would; without one the buttons decide.
  const QString format = a.text(1).toLower();
  QRadioButton* choice = nullptr;
  if (format == QLatin1String("normalized"))
    choice = m_ui->SaveAsNormalizedXAFS;
  else if (format == QLatin1String("raw_xafs"))
    choice = m_ui->SaveAsRawXAFS;
  else if (format == QLatin1String("raw"))
    choice = m_ui->SaveAsRaw;
  else if (!format.isEmpty()) {
    qDebug().noquote() << QStringLiteral("%1 : unknown format %2").arg(c.cmd, a.text(1));
    return true;
  }
  if (a.text(0).isEmpty()) {
    qDebug().noquote() << QStringLiteral("%1 : no file name").arg(c.cmd);
    return true;
  }
  if (choice)
    choice->setChecked(true);
  // Reported by the save's end, which comes exactly once per call (at once
  // when nothing is written); the end of a save still going, which this
  // one replaces, is not ours.
  m_saveEndsToSkip = m_spectraSave->isRunning() ? 1 : 0;
  m_batchWaitsForSave = true;
  saveEachSpectrum(a.text(0));
  return false;
}
