#include "batch/BatchCommands.h"

#include <QHash>

namespace {

#define LC_BATCH_WORD_ENTRY(name, word) QStringLiteral(word),
const QString& wordAt(int code)
{
  static const QString words[] = { LC_BATCH_COMMANDS(LC_BATCH_WORD_ENTRY) };
  return words[code];
}
#undef LC_BATCH_WORD_ENTRY

// Keyed by the upper-case word; built once, read-only afterwards, so the
// interpreter's thread and the GUI thread can both look words up.
const QHash<QString, int>& commandIndex()
{
  static const QHash<QString, int> index = [] {
    QHash<QString, int> h;
    for (int c = 0; c < BatchCmd::Unknown; ++c)
      h.insert(wordAt(c).toUpper(), c);
    return h;
  }();
  return index;
}

} // namespace

int batchCommandCode(const QString& word)
{
  return commandIndex().value(word.toUpper(), BatchCmd::Unknown);
}

QString batchCommandWord(int code)
{
  return (code >= 0 && code < BatchCmd::Unknown) ? wordAt(code) : QString();
}

int batchKeywordCode(const QString& word)
{
  static const char* const keywords[] = {
    ":for", ":next", ":echo", ":rem_start", ":rem_end", ":end"
  };
  for (int k = 0; k < 6; ++k) {
    if (word.compare(QLatin1String(keywords[k]), Qt::CaseInsensitive) == 0)
      return k;
  }
  return BatchKeyword::None;
}

int batchExtraCommandCode(const QString& word)
{
  static const struct
  {
    const char* word;
    int code;
  } extra[] = {
    { "save_each_spectrum", BatchExtraCmd::SaveEachSpectrum },
    { "analyzer_set_LCF_constraint", BatchExtraCmd::AnalyzerSetLCFConstraint },
    { "load_hdf5_stack", BatchExtraCmd::LoadHdf5Stack },
    { "analyzer_exec_pca", BatchExtraCmd::AnalyzerExecPca },
    { "analyzer_exec_cluster", BatchExtraCmd::AnalyzerExecCluster },
    { "analyzer_save_cluster_spectra", BatchExtraCmd::AnalyzerSaveClusterSpectra },
    { "analyzer_select_map", BatchExtraCmd::AnalyzerSelectMap },
    { "calib_set_edge_position", BatchExtraCmd::CalibSetEdgeLocate },
    { "analyzer_set_elem_edge_position", BatchExtraCmd::AnalyzerSetElemEdgeLocate },
    { "saveDataCfg_save_as_hdf5", BatchExtraCmd::SaveDataCfgSaveAsHdf5 },
    { "calib_remove_outliers", BatchExtraCmd::CalibRemoveOutliers },
    { "analyzer_set_LCF_residual", BatchExtraCmd::AnalyzerSetLCFResidual },
  };
  for (const auto& e : extra)
    if (word.compare(QLatin1String(e.word), Qt::CaseInsensitive) == 0)
      return e.code;
  return BatchExtraCmd::None;
}
