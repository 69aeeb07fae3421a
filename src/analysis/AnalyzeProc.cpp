#include "analysis/AnalyzeProc.h"

#include "analysis/AnalyzeCond.h"

void registerAnalysisMetaTypes()
{
  static const bool done = [] {
    qRegisterMetaType<XafsSpectrum>("XafsSpectrum");
    qRegisterMetaType<RefSnapshot>("RefSnapshot");
    qRegisterMetaType<QVector<RefSnapshot>>("QVector<RefSnapshot>");
    qRegisterMetaType<FitConditions>("FitConditions");
    qRegisterMetaType<LcfResult>("LcfResult");
    qRegisterMetaType<AnalyzeCond>("AnalyzeCond");
    return true;
  }();
  Q_UNUSED(done);
}

AnalyzeProc::AnalyzeProc(QObject* parent)
  : QObject(parent)
{
  registerAnalysisMetaTypes();
}

void AnalyzeProc::analyzeSpectrum0(const XafsSpectrum& s,
                                   const QVector<RefSnapshot>& refs,
                                   bool isMLCF,
                                   const FitConditions& cond)
{
  answer(s, refs, isMLCF, cond);
}

void AnalyzeProc::analyzeSpectrumByLCF(const XafsSpectrum& s,
                                       const QVector<RefSnapshot>& refs,
                                       const FitConditions& cond)
{
  answer(s, refs, false, cond);
}

void AnalyzeProc::analyzeSpectrumByMLCF(const XafsSpectrum& s,
                                        const QVector<RefSnapshot>& refs,
                                        const FitConditions& cond)
{
  answer(s, refs, true, cond);
}

void AnalyzeProc::answer(const XafsSpectrum& s,
                         const QVector<RefSnapshot>& refs,
                         bool mlcf,
                         FitConditions cond)
{
  const bool run = m_contAccess.load();
  if (run)
    cond.buildSpectrum = false;
  LcfResult res = fitSpectrum(s, refs, mlcf, cond);
  res.contAccess = run;
  emit newZ(res.z);
  emit finished(res);
}
