#include "batch/BatchExecutor.h"

#include "analysis/Analyzed2DRes.h"
#include "app/DebugLines.h"
#include "batch/BatchArgs.h"
#include "batch/BatchCommands.h"
#include "batch/BatchDispatcher.h"
#include "input/Hdf5Stack.h"
#include "session/Session.h"
#include "spectrum/EdgePosition.h"

#include <QDebug>
#include <QEventLoop>

#include <algorithm>

namespace {

double tenDigits(double v)
{
  return QString::number(v, 'g', 10).toDouble();
}

double sixDigits(double v)
{
  return QString::number(v, 'g', 6).toDouble();
}

} // namespace

BatchExecutor::BatchExecutor(Session& session, QObject* parent)
  : QObject(parent)
  , m_session(session)
  , m_dispatcher(new BatchDispatcher(this))
{
  // On this thread: each command runs to its end inside execCmd, and the
  // interpreter moves on through its own queued trigger.
  connect(m_dispatcher, &BatchDispatcher::execCmdSig, this, &BatchExecutor::execCmd);
}

BatchExecutor::~BatchExecutor() = default;

void BatchExecutor::run(const QStringList& lines)
{
  QEventLoop loop;
  connect(m_dispatcher, &BatchDispatcher::batchFinished, &loop, &QEventLoop::quit);
  m_dispatcher->doDispatchCmds(lines);
  loop.exec();
}

void BatchExecutor::execCmd(CmdLine cmd, bool inRem)
{
  // Runs spin event loops; a command that arrives meanwhile (the batch
  // started again) waits, so two commands never work on the Session at once.
  if (m_executing) {
    m_deferred.append({ cmd, inRem });
    return;
  }
  m_executing = true;
  const DebugLineMark before = threadDebugLines();
  // Remarks and blank lines are not carried out; they only end.
  if (!inRem && !execute(cmd)) {
    ++m_failures;
    emit commandFailed(cmd.line, debugLineSince(before));
  }
  m_executing = false;
  if (!inRem)
    emit commandEnded();
  if (m_quit)
    m_dispatcher->batchStopSlot();
  else
    m_dispatcher->finishBatchCmd(cmd.seq);
  if (!m_deferred.isEmpty()) {
    const Deferred next = m_deferred.takeFirst();
    QMetaObject::invokeMethod(
      this, [this, next] { execCmd(next.cmd, next.inRem); }, Qt::QueuedConnection);
  }
}

bool BatchExecutor::execute(const CmdLine& asWritten)
{
  CmdLine c = parseCmdLine(asWritten.substLine.isEmpty() ? asWritten.line : asWritten.substLine);
  if (c.cmd.isEmpty())
    return true;
  ++m_commands;
  if (!batchNumbersValid(c.cmd, c.args, m_refusals))
    return false;
  if (c.code == BatchCmd::Unknown) {
    if (batchExtraCommandCode(c.cmd) != BatchExtraCmd::None)
      return execExtraCmd(c);
    qDebug().noquote() << QStringLiteral("Err: %1").arg(asWritten.line);
    return false;
  }
  if (c.code == BatchCmd::Quit) {
    m_quit = true;
    return forwardToWindows(c);
  }
  if (c.code <= BatchCmd::SetFluoType || c.code == BatchCmd::UseI0) {
    const bool done = execFileCmd(c);
    m_session.noteEnergyRules();
    return done;
  }
  return execAnalysisCmd(c);
}

bool BatchExecutor::windowOnly(const CmdLine& c)
{
  if (m_windows)
    return m_windows->runWindowCommand(c);
  qDebug().noquote() << QStringLiteral("%1: needs the windows, skipped").arg(c.cmd);
  return true;
}

bool BatchExecutor::forwardToWindows(const CmdLine& c)
{
  return !m_windows || m_windows->runWindowCommand(c);
}

bool BatchExecutor::notAvailable(const CmdLine& c)
{
  qDebug().noquote() << QStringLiteral("%1: not available without the windows").arg(c.cmd);
  return false;
}

bool BatchExecutor::execFileCmd(const CmdLine& c)
{
  using namespace BatchCmd;
  const BatchArgs a(c.args);
  // Codes up to 7 come I1 first; from 8 on, I0 first.
  const bool isI1 = c.code < CutFI0 ? c.code % 2 == 0 : c.code % 2 == 1;
  Session::StackOptions& opt = m_session.stackOptions(isI1);
  energy::EnergyRule& rule = opt.rule;
  switch (c.code) {
    case ClearI1Files:
    case ClearI0Files:
      m_session.clearStack(c.code == ClearI1Files);
      return true;
    case SetI1EnergyPattern:
    case SetI0EnergyPattern:
    case EngByNameRegExpI0:
    case EngByNameRegExpI1: {
      rule.pattern = a.text(0);
      // An eV pattern keeps the factor; the others bring their own.
      const QString factor = energy::factorForPattern(rule.pattern);
      if (!factor.isEmpty())
        rule.factor = factor;
      return true;
    }
    case LoadI1Files:
    case LoadI0Files:
    case LoadI1FilesOfPattern:
    case LoadI0FilesOfPattern: {
      if (a.count() == 0)
        return true; // nothing to load, not even a mode
      const bool replace = a.text(0).compare(QLatin1String("NEW"), Qt::CaseInsensitive) == 0;
      const bool ofPattern = c.code >= LoadI1FilesOfPattern;
      const QStringList files = ofPattern ? batchFilesOfPattern(a.text(1), a.text(2)) : a.from(1);
      return m_session.loadFiles(isI1, files, replace);
    }
    case CutFI0:
    case CutFI1:
      opt.cutFirst = a.integer(0);
      return true;
    case CutLI0:
    case CutLI1:
      opt.cutLast = a.integer(0);
      return true;
    case SkipI0:
    case SkipI1:
      opt.skip = a.integer(0);
      return true;
    case ShowLatestI0:
    case ShowLatestI1:
      return windowOnly(c);
    case EngByNameI0:
    case EngByNameI1:
      rule.fromFileName = true;
      rule.fromRefFile = false;
      rule.fromFileNum = false;
      return true;
    case EngByNameFactorI0:
    case EngByNameFactorI1:
      rule.factor = QString::number(a.number(0), 'g', 10);
      return true;
    case EngByCalcI0:
    case EngByCalcI1:
      // Off clears the choice without choosing another.
      rule.fromFileNum = a.flag(0);
      if (a.flag(0))
        rule.fromFileName = rule.fromRefFile = false;
      return true;
    // The fields hold ten digits, and End or Delta follows as the window
    // keeps them in step (six digits).
    case EngCalcBaseI0:
    case EngCalcBaseI1:
      rule.calc.Start = tenDigits(a.number(0));
      rule.calc.End = sixDigits(rule.calc.endFromStartDelta());
      return true;
    case EngCalcDeltaI0:
    case EngCalcDeltaI1:
      rule.calc.Delta = tenDigits(a.number(0));
      rule.calc.End = sixDigits(rule.calc.endFromStartDelta());
      return true;
    case EngCalcEndI0:
    case EngCalcEndI1:
      rule.calc.End = tenDigits(a.number(0));
      rule.calc.Delta = sixDigits(rule.calc.deltaFromStartEnd());
      return true;
    case EngCalcNumI0:
    case EngCalcNumI1:
      if (a.integer(0) <= 0) {
        qDebug().noquote() << "Num of points must be above 0:" << QString::number(a.integer(0));
        return false;
      }
      rule.calc.Num = a.integer(0);
      rule.calc.Delta = sixDigits(rule.calc.deltaFromStartEnd());
      return true;
    case EngCalcEvenInEngI0:
    case EngCalcEvenInEngI1:
      rule.calc.evenInAngle = !a.flag(0);
      return true;
    case EngCalcEvenInDegI0:
    case EngCalcEvenInDegI1:
      rule.calc.evenInAngle = a.flag(0);
      return true;
    case EngCalcDispUnitI0:
    case EngCalcDispUnitI1:
      if (a.integer(0) >= 0 && a.integer(0) <= 2)
        rule.calc.unit = a.integer(0);
      return true;
    case EngByRefI0:
    case EngByRefI1: {
      QVector<double> energies;
      if (!energy::readReferenceEnergies(a.text(0), rule.calc.d, energies))
        return false;
      rule.refEnergies = energies;
      rule.fromRefFile = true;
      rule.fromFileName = false;
      rule.fromFileNum = false;
      return true;
    }
    case SetFluoType:
      m_session.fluorescence = a.flag(0);
      return true;
    case UseI0:
      m_session.useI0 = a.flag(0);
      return true;
    default:
      return notAvailable(c);
  }
}

bool BatchExecutor::execAnalysisCmd(const CmdLine& c)
{
  using namespace BatchCmd;
  const BatchArgs a(c.args);
  Session& s = m_session;
  Session::SaveOptions& save = s.save;
  switch (c.code) {
    case SetBandW:
      s.bandW = a.integer(0);
      return true;
    case SetBandH:
      s.bandH = a.integer(0);
      return true;
    case SelectRegion:
      s.region = QRectF(QPointF(a.integer(0), a.integer(1)),
                        QPointF(a.integer(0) + a.integer(2), a.integer(1) + a.integer(3)))
                   .normalized();
      return true;
    case SaveData:
      return s.saveData(a.text(0));
    case SaveSpectra:
      return s.saveSpectra(a.text(0));
    case MovePosition:
      s.position = QPoint(a.integer(0), a.integer(1));
      return forwardToWindows(c);
    case SuggestingPreEndEV:
      s.preEdgeEnd = a.text(0);
      return forwardToWindows(c);
    case SuggestingPostStartEV:
      s.postEdgeStart = a.text(0);
      return forwardToWindows(c);
    case SaveDataAsTiff: {
      const Analyzed2DRes* map = s.currentMap();
      return s.saveDataAsTiff(a.text(0), std::max(0, map->no()));
    }
    case CbarSetRange:
      qDebug().noquote() << "setting cbar";
      // Values at the bottom and the top of the bar (the windows' labels),
      // then the two limits as fractions of the bar, which a saved bar
      // picture shows.
      if (a.count() > 2) {
        s.colourBar.lower = a.number(2);
        s.colourBar.upper = a.number(3);
      }
      return forwardToWindows(c);
    case CbarSetAll:
      qDebug().noquote() << "cbar set all";
      s.colourBar.lower = 0.0;
      s.colourBar.upper = 1.0;
      return forwardToWindows(c);
    case SuggestElm:
      s.suggestElm = a.flag(0);
      s.refreshSuggestedEdge();
      return true;
    case SuggestingElm:
      // As the field: only a changed name looks the edge up again.
      if (a.text(0) != s.suggestedElement) {
        s.suggestedElement = a.text(0);
        s.refreshSuggestedEdge();
      }
      return true;
    case SuggestingEdge:
      if (a.integer(0) >= 0 && a.integer(0) < 4)
        s.suggestedEdgeIndex = a.integer(0);
      s.refreshSuggestedEdge();
      return true;
    case SuggestingEdgeEV:
      s.suggestedEdgeEV = a.text(0);
      return true;
    case AnalyzerSetLCFStd:
      // row (from 0), use flag, energy shift, file, Victoreen flag
      return s.setReference(
        a.integer(0), a.flag(1), a.number(2), a.text(3), a.text(4).trimmed().toInt() != 0);
    case AnalyzerSetLCFMode:
      s.mlcf = a.integer(0) != 0;
      return true;
    case AnalyzerExecLCF:
      return s.runLcf();
    case AnalyzerSelectImage:
      return s.selectImage(a.integer(0));
    case AnalyzerSelectImageType:
      qDebug().noquote() << "Selecting img Type" << a.integer(1);
      return s.selectLcfMap(a.integer(0), a.integer(1));
    case AnalyzerSetRaEnergy:
      s.raEnergy = sixDigits(a.number(0));
      return true;
    case AnalyzerSetRaFactor:
      s.raFactor = sixDigits(a.number(0));
      return true;
    case AnalyzerExecRa:
      return s.runResidual();
    case AnalyzerSetFixedScale:
      s.scale.fixed = a.flag(0);
      s.applyScale();
      return true;
    case AnalyzerSetScaleMax:
    case AnalyzerSetScaleMin:
      // The value, the (optional) fixed-scale flag that makes it count,
      // then the scale is applied to the map on view, as an edit by hand
      // does.
      (c.code == AnalyzerSetScaleMax ? s.scale.max : s.scale.min) = sixDigits(a.number(0));
      if (a.count() > 1)
        s.scale.fixed = a.flag(1);
      s.applyScale();
      return true;
    case AnalyzerSetDMutScaleMax:
      s.scale.dmutMax = sixDigits(a.number(0));
      return true;
    case AnalyzerSetDMutScaleMin:
      s.scale.dmutMin = sixDigits(a.number(0));
      return true;
    case AnalyzerSetRatioScaleMax:
      s.scale.ratioMax = sixDigits(a.number(0));
      return true;
    case AnalyzerSetRatioScaleMin:
      s.scale.ratioMin = sixDigits(a.number(0));
      return true;
    case AnalyzerSelectAnalysisMode:
      if (a.integer(0) < 0 || a.integer(0) > 4) {
        qDebug().noquote() << QStringLiteral("No analysis mode %1").arg(a.integer(0));
        return false;
      }
      return s.selectImage(a.integer(0));
    case AnalyzerTargetElements:
      s.setTargetElements(a.text(0));
      return true;
    case AnalyzerElemsSelectTarget:
      // an edge name ("Fe-K") or a row number (from 0)
      return s.selectElemTarget(a.text(0));
    case AnalyzerElemsSelectShow:
      return s.selectElemShown(a.text(0));
    case AnalyzerElemsSetDeVs:
      s.setElemsDE(a.number(0));
      return true;
    case AnalyzerElemsSetCorrTh:
      s.corTh = sixDigits(a.number(0));
      return true;
    case AnalyzerElemsSelectDispMode:
      return s.selectElemDisplay(a.integer(0));
    case AnalyzerElemsSetUse:
      return s.setElemUse(a.text(0), a.flag(1));
    case AnalyzerElemsSortByAn:
      s.setSortByAtomicNumber(a.flag(0));
      return true;
    case AnalyzerElemsRoi:
      return s.setElemRoi(a.text(0), a.number(1), a.number(2));
    case AnalyzerElemsThdmut:
      return s.setElemThDMut(a.text(0), a.number(1));
    case AnalyzerElemsNoNeg:
      return s.setElemNoNeg(a.text(0), a.flag(1));
    case AnalyzerElemsBgDMut:
      s.elemBackground.dmut = sixDigits(a.number(0));
      return true;
    case AnalyzerElemsBgDMutR:
      s.elemBackground.dmutRatio = sixDigits(a.number(0));
      return true;
    case AnalyzerElemsBgDE:
      s.elemBackground.dE = sixDigits(a.number(0));
      return true;
    case AnalyzerElemsBgROI:
      s.elemBackground.roi = sixDigits(a.number(0));
      return true;
    case AnalyzerElemsBgNROI:
      s.elemBackground.nroi = sixDigits(a.number(0));
      return true;
    case AnalyzerExecElems:
      return s.runElems();
    case AnalyzerViewEnergyCorrection:
      s.energyCorrection = a.flag(0);
      return true;
    case CalibLoadStd:
      return s.loadStandard(a.text(0));
    case CalibSetEdgeEV:
      s.calibration().edgeEV = a.text(0);
      return true;
    case CalibExec:
      return s.calibrate();
    case CalibLoadMap:
      return s.loadShiftMap(a.text(0));
    case CalibClearMap:
      s.clearShiftMap();
      return true;
    case CalibSaveMap:
      return s.saveShiftMap(a.text(0));
    case SaveDataCfgSaveAsTiff:
      qDebug().noquote() << "setting save as tiff";
      save.kind = Session::SaveKind::Tiff;
      return true;
    case SaveDataCfgSaveAsText:
      qDebug().noquote() << "setting save as text";
      save.kind = Session::SaveKind::Text;
      return true;
    case SaveDataCfgTiffFixScale:
      save.tiffFixedScale = a.flag(0);
      return true;
    case SaveDataCfgTiffScaleMin:
      // The field holds what QString::number writes.
      save.tiffScaleMin = QString::number(a.number(0)).toDouble();
      return true;
    case SaveDataCfgTiffScaleMax:
      save.tiffScaleMax = QString::number(a.number(0)).toDouble();
      return true;
    case SaveDataCfgTiffAsAnalyzed:
      save.tiffAsAnalyzed = a.flag(0);
      return true;
    case SaveDataCfgTextAsCsv:
    case SaveDataCfgTextAsSsv:
      save.commaSeparated = c.code == SaveDataCfgTextAsCsv;
      return true;
    case SaveDataCfgTextAsXyz:
    case SaveDataCfgTextAsVals:
      save.xyValue = c.code == SaveDataCfgTextAsXyz;
      return true;
    case SelectDispImage:
    case SeekImage:
    case SaveImage:
    case SaveImageWNum:
    case SaveAllImages:
    case ScaleReset:
    case ZoomIn:
    case XafsViewNormalize:
    case XafsViewEnergyCorrection:
    case AnalyzerShowWindow:
    case AnalyzerViewNormalize:
    case CalibShowWindow:
    case SaveDataCfgShowWindow:
      return windowOnly(c);
    default:
      return notAvailable(c);
  }
}

bool BatchExecutor::execExtraCmd(const CmdLine& c)
{
  const BatchArgs a(c.args);
  const int code = batchExtraCommandCode(c.cmd);
  switch (code) {
    case BatchExtraCmd::AnalyzerSetLCFConstraint:
      // sum-to-1 flag, then optionally the non-negative flag
      m_session.fit.sumToOne = a.flag(0);
      m_session.fit.nonNegative = a.flag(0) && a.flag(1);
      return true;
    case BatchExtraCmd::AnalyzerSetLCFResidual:
      if (!residualFromName(a.text(0), m_session.fit.rFactor)) {
        qDebug().noquote() << unknownResidualLine(c.cmd, a.text(0));
        return false;
      }
      return true;
    case BatchExtraCmd::SaveDataCfgSaveAsHdf5:
      m_session.save.kind = Session::SaveKind::Hdf5;
      return true;
    case BatchExtraCmd::LoadHdf5Stack: {
      QString file;
      Hdf5StackNames names;
      return hdf5StackArgs(c.cmd, c.args, file, names) && m_session.loadHdf5Stack(file, names);
    }
    case BatchExtraCmd::CalibRemoveOutliers:
      return m_session.removeShiftOutliers();
    case BatchExtraCmd::CalibSetEdgeLocate:
    case BatchExtraCmd::AnalyzerSetElemEdgeLocate: {
      EdgeLocate locate = EdgeLocate::Grid;
      if (!edgeLocateFromName(a.text(0), locate)) {
        qDebug().noquote() << QStringLiteral("%1 : unknown edge position %2 (grid, "
                                             "interpolated or derivative)")
                                .arg(c.cmd, a.text(0));
        return false;
      }
      (code == BatchExtraCmd::CalibSetEdgeLocate ? m_session.calibration().locate
                                                 : m_session.elemLocate) = locate;
      return true;
    }
    case BatchExtraCmd::AnalyzerExecPca:
      return m_session.runComponents(a.integer(0), 0, false);
    case BatchExtraCmd::AnalyzerExecCluster:
      // clusters, then optionally the scores (none: those above the noise floor)
      return m_session.runComponents(
        a.count() > 1 ? a.integer(1) : 0, a.integer(0), a.count() <= 1);
    case BatchExtraCmd::AnalyzerSaveClusterSpectra:
      if (a.text(0).isEmpty()) {
        qDebug().noquote() << QStringLiteral("%1 : no file name").arg(c.cmd);
        return false;
      }
      return m_session.saveClusterSpectra(a.text(0));
    case BatchExtraCmd::AnalyzerSelectMap:
      // A name may hold blanks ("PCA Score 1"): the words are joined again.
      return m_session.selectMapByName(c.args.join(QLatin1Char(' ')));
    case BatchExtraCmd::SaveEachSpectrum: {
      // FILE [normalized|raw_xafs|raw]; without a format word the last
      // choice stays.
      const QString format = a.text(1).toLower();
      SpectraFormat& chosen = m_session.spectraFormat;
      if (format == QLatin1String("normalized"))
        chosen = SpectraFormat::NormalizedXafs;
      else if (format == QLatin1String("raw_xafs"))
        chosen = SpectraFormat::RawXafs;
      else if (format == QLatin1String("raw"))
        chosen = SpectraFormat::Raw;
      else if (!format.isEmpty()) {
        qDebug().noquote() << QStringLiteral("%1 : unknown format %2").arg(c.cmd, a.text(1));
        return false;
      }
      if (a.text(0).isEmpty()) {
        qDebug().noquote() << QStringLiteral("%1 : no file name").arg(c.cmd);
        return false;
      }
      return m_session.saveEachSpectrum(a.text(0));
    }
    default:
      return notAvailable(c);
  }
}
