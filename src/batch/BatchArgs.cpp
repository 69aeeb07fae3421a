#include "batch/BatchArgs.h"

#include "app/Refusal.h"
#include "input/Hdf5Stack.h"

#include <QDebug>
#include <QDir>
#include <QHash>

#include <cmath>
#include <limits>

namespace {

// What each word reads from its items, one letter an item: i an integer,
// n a number, s a size (an integer not below 0), t text. Words reading
// numbers only; keyed by the upper-case word, as the command lookup.
const QHash<QString, QString>& numericItems()
{
  static const QHash<QString, QString> kinds = [] {
    const char* const table[][2] = {
      { "cut_f_i0", "s" },
      { "cut_f_i1", "s" },
      { "cut_l_i0", "s" },
      { "cut_l_i1", "s" },
      { "skip_i0", "s" },
      { "skip_i1", "s" },
      { "show_latest_i0", "i" },
      { "show_latest_i1", "i" },
      { "eng_by_name_factor_i0", "n" },
      { "eng_by_name_factor_i1", "n" },
      { "eng_by_calc_i0", "i" },
      { "eng_by_calc_i1", "i" },
      { "eng_calc_base_i0", "n" },
      { "eng_calc_base_i1", "n" },
      { "eng_calc_delta_i0", "n" },
      { "eng_calc_delta_i1", "n" },
      { "eng_calc_end_i0", "n" },
      { "eng_calc_end_i1", "n" },
      { "eng_calc_num_i0", "i" },
      { "eng_calc_num_i1", "i" },
      { "eng_calc_even_in_eng_i0", "i" },
      { "eng_calc_even_in_eng_i1", "i" },
      { "eng_calc_even_in_deg_i0", "i" },
      { "eng_calc_even_in_deg_i1", "i" },
      { "eng_calc_disp_unit_i0", "i" },
      { "eng_calc_disp_unit_i1", "i" },
      { "set_fluo_type", "i" },
      { "set_band_w", "s" },
      { "set_band_h", "s" },
      { "select_disp_image", "ii" },
      { "seek_image", "i" },
      { "move_position", "ii" },
      { "cbar_set_range", "nnnn" },
      { "select_region", "iiss" },
      { "xafs_view_normalize", "i" },
      { "xafs_view_enerugy_correction", "i" },
      { "analyzer_set_LCF_std", "iinti" },
      { "analyzer_set_LCF_mode", "i" },
      { "analyzer_select_image", "i" },
      { "analyzer_select_image_type", "ii" },
      { "analyzer_set_ra_energy", "n" },
      { "analyzer_set_ra_factor", "n" },
      { "analyzer_set_fixed_scale", "i" },
      { "analyzer_set_scale_max", "ni" },
      { "analyzer_set_scale_min", "ni" },
      { "analyzer_set_dMut_scale_max", "n" },
      { "analyzer_set_dMut_scale_min", "n" },
      { "analyzer_set_ratio_scale_max", "n" },
      { "analyzer_set_ratio_scale_min", "n" },
      { "analyzer_view_normalize", "i" },
      { "analyzer_view_enerugy_correction", "i" },
      { "analyzer_select_analysis_mode", "i" },
      { "analyzer_elems_set_deVs", "n" },
      { "analyzer_elems_set_corr_th", "n" },
      { "analyzer_elems_select_disp_mode", "i" },
      { "analyzer_elems_set_use", "ti" },
      { "analyzer_elems_sort_by_an", "i" },
      { "analyzer_elems_roi", "tnn" },
      { "analyzer_elems_thdmut", "tn" },
      { "analyzer_elems_no_neg", "ti" },
      { "analyzer_elems_bg_dMut", "n" },
      { "analyzer_elems_bg_dMutR", "n" },
      { "analyzer_elems_bg_dE", "n" },
      { "analyzer_elems_bg_ROI", "n" },
      { "analyzer_elems_bg_NROI", "n" },
      { "saveDataCfg_tiff_fix_scale", "i" },
      { "saveDataCfg_tiff_scale_min", "n" },
      { "saveDataCfg_tiff_scale_max", "n" },
      { "saveDataCfg_tiff_as_analyzed", "i" },
      { "Use_I0", "i" },
      { "Suggest_Elm", "i" },
      { "Suggesting_Edge", "i" },
      { "analyzer_set_LCF_constraint", "ii" },
      { "analyzer_exec_pca", "i" },
      { "analyzer_exec_cluster", "ii" },
    };
    QHash<QString, QString> h;
    for (const auto& row : table)
      h.insert(QString::fromLatin1(row[0]).toUpper(), QString::fromLatin1(row[1]));
    return h;
  }();
  return kinds;
}

// Why `item` is refused where a whole number (an int) is wanted: a number
// past the int range or with a fraction is still a number.
QString notAWholeNumber(const QString& item)
{
  bool ok = false;
  const double v = item.toDouble(&ok);
  if (!ok || !std::isfinite(v))
    return QStringLiteral("is not a number");
  if (v > std::numeric_limits<int>::max())
    return QStringLiteral("is too large");
  if (v < std::numeric_limits<int>::min())
    return QStringLiteral("is too small");
  return QStringLiteral("is not a whole number");
}

} // namespace

bool batchNumbersValid(const QString& word, const QStringList& items, QObject* origin)
{
  const QString kinds = numericItems().value(word.toUpper());
  for (int i = 0; i < kinds.size() && i < items.size(); ++i) {
    const QChar kind = kinds.at(i);
    const QString item = items.at(i).trimmed();
    if (kind == QLatin1Char('t') || item.isEmpty())
      continue;
    bool ok = false;
    const double value = kind == QLatin1Char('n') ? item.toDouble(&ok) : item.toInt(&ok);
    if (!ok) {
      refuse(origin, QStringLiteral("%1 : %2 %3").arg(word, items.at(i), notAWholeNumber(item)));
      return false;
    }
    if (kind == QLatin1Char('s') && value < 0) {
      refuse(origin, QStringLiteral("%1 : %2 is below 0").arg(word, items.at(i)));
      return false;
    }
  }
  return true;
}

QStringList batchFilesOfPattern(const QString& dir, const QString& pattern)
{
  const QDir d(dir);
  QStringList files;
  if (!d.exists()) {
    qDebug().noquote() << QStringLiteral("No such folder : %1 (pattern %2)").arg(dir, pattern);
    return files;
  }
  for (const QString& name : d.entryList({ pattern }, QDir::Files, QDir::Name))
    files << d.filePath(name);
  return files;
}

bool hdf5StackArgs(const QString& word,
                   const QStringList& items,
                   QString& file,
                   Hdf5StackNames& names)
{
  if (items.isEmpty() || items.at(0).isEmpty()) {
    qDebug().noquote() << QStringLiteral("%1 : no file name").arg(word);
    return false;
  }
  for (int i = 1; i < items.size(); ++i) {
    const QString& item = items.at(i);
    const int eq = item.indexOf('=');
    const QString key = item.left(eq).toLower();
    const QString value = eq < 0 ? QString() : item.mid(eq + 1);
    QString* target = key == QLatin1String("data")     ? &names.data
                      : key == QLatin1String("flat")   ? &names.flat
                      : key == QLatin1String("dark")   ? &names.dark
                      : key == QLatin1String("energy") ? &names.energy
                                                       : nullptr;
    if (eq < 0 || !target || value.isEmpty()) {
      qDebug().noquote() << QStringLiteral("%1 : unknown argument %2").arg(word, item);
      return false;
    }
    *target = value;
  }
  file = items.at(0);
  return true;
}
