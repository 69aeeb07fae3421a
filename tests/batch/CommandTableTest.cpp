#include "batch/BatchCommands.h"
#include "batch/CmdLine.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {
// The command words in code order, written independently of the program's
// table.
const char* const kWords =
  "clear_I1_files clear_I0_files set_i1_energy_pattern set_i0_energy_pattern load_I1_files "
  "load_I0_files load_I1_files_of_pattern load_I0_files_of_pattern cut_f_i0 cut_f_i1 cut_l_i0 "
  "cut_l_i1 skip_i0 skip_i1 show_latest_i0 show_latest_i1 eng_by_name_i0 eng_by_name_i1 "
  "eng_by_name_reg_exp_i0 eng_by_name_reg_exp_i1 eng_by_name_factor_i0 eng_by_name_factor_i1 "
  "eng_by_calc_i0 eng_by_calc_i1 eng_calc_base_i0 eng_calc_base_i1 eng_calc_delta_i0 "
  "eng_calc_delta_i1 eng_calc_end_i0 eng_calc_end_i1 eng_calc_num_i0 eng_calc_num_i1 "
  "eng_calc_even_in_eng_i0 eng_calc_even_in_eng_i1 eng_calc_even_in_deg_i0 "
  "eng_calc_even_in_deg_i1 eng_calc_disp_unit_i0 eng_calc_disp_unit_i1 eng_by_ref_i0 "
  "eng_by_ref_i1 set_fluo_type set_band_w set_band_h select_disp_image seek_image save_image "
  "save_image_w_num save_all_images save_data save_data_as_tiff move_position save_spectra "
  "cbar_set_range cbar_set_all select_region scale_reset zoom_in xafs_view_normalize "
  "xafs_view_enerugy_correction analyzer_show_window analyzer_set_LCF_std analyzer_set_LCF_mode "
  "analyzer_exec_LCF analyzer_select_image analyzer_select_image_type analyzer_set_ra_energy "
  "analyzer_set_ra_factor analyzer_exec_ra analyzer_set_fixed_scale analyzer_set_scale_max "
  "analyzer_set_scale_min analyzer_set_dMut_scale_max analyzer_set_dMut_scale_min "
  "analyzer_set_ratio_scale_max analyzer_set_ratio_scale_min analyzer_view_normalize "
  "analyzer_view_enerugy_correction analyzer_target_elements analyzer_select_analysis_mode "
  "analyzer_elems_select_target analyzer_elems_select_show analyzer_elems_set_deVs "
  "analyzer_elems_set_corr_th analyzer_elems_select_disp_mode analyzer_elems_set_use "
  "analyzer_elems_sort_by_an analyzer_elems_roi analyzer_elems_thdmut analyzer_elems_no_neg "
  "analyzer_elems_bg_dMut analyzer_elems_bg_dMutR analyzer_elems_bg_dE analyzer_elems_bg_ROI "
  "analyzer_elems_bg_NROI analyzer_exec_elems calib_show_window calib_load_std "
  "calib_set_edge_eV calib_exec calib_load_map calib_clear_map calib_save_map "
  "saveDataCfg_show_window saveDataCfg_save_as_tiff saveDataCfg_save_as_text "
  "saveDataCfg_tiff_fix_scale saveDataCfg_tiff_scale_min saveDataCfg_tiff_scale_max "
  "saveDataCfg_tiff_as_analyzed saveDataCfg_text_as_csv saveDataCfg_text_as_ssv "
  "saveDataCfg_text_as_xyz saveDataCfg_text_as_vals quit Use_I0 Suggest_Elm Suggesting_Elm "
  "Suggesting_Edge Suggesting_Edge_eV Suggesting_Pre_End_eV Suggesting_Post_Start_eV";

QString mixedCase(const QString& w)
{
  QString m = w;
  for (int i = 0; i < m.size(); i += 2)
    m[i] = m[i].isUpper() ? m[i].toLower() : m[i].toUpper();
  return m;
}
} // namespace

TEST(CommandTable, EveryWordMapsToItsCodeInAnyLetterCase)
{
  const QStringList words = QString(kWords).split(' ');
  ASSERT_EQ(words.size(), 121);
  for (int code = 0; code < words.size(); ++code) {
    const QString& w = words.at(code);
    SCOPED_TRACE(w.toStdString());
    EXPECT_EQ(batchCommandCode(w), code);
    EXPECT_EQ(batchCommandCode(mixedCase(w)), code);
  }
  for (const char* unknown : { "load_I1_file", "", ":for" })
    EXPECT_EQ(batchCommandCode(unknown), 121) << unknown;
  // The keywords as well.
  const QStringList keywords{ ":FOR", ":Next", ":echo", ":REM_start", ":rem_END", ":end" };
  for (int k = 0; k < keywords.size(); ++k)
    EXPECT_EQ(batchKeywordCode(keywords.at(k)), k);
  EXPECT_EQ(batchKeywordCode("for"), BatchKeyword::None);
  EXPECT_EQ(batchKeywordCode("quit"), BatchKeyword::None);
}

TEST(CmdLine, ParsesCommentsQuotesAndReparsesItsJoinedForm)
{
  CmdLine c = parseCmdLine("  Save_Data \"C:/my out/map.tif\" 2 # the map");
  EXPECT_EQ(c.cmd, "Save_Data");
  EXPECT_EQ(c.code, BatchCmd::SaveData);
  EXPECT_EQ(c.args, QStringList({ "C:/my out/map.tif", "2" }));

  // Arguments with blanks, '#' or no text at all survive the round trip.
  const QStringList args{ "a b", "x#y", "", "plain" };
  const CmdLine again = parseCmdLine(joinCmdLine("save_image", args));
  EXPECT_EQ(again.args, args);
}

TEST(CommandTable, WordsBeyondTheTableHaveCodesOfTheirOwn)
{
  // Each added word is found (any letter case), none takes a table code and
  // no two share one: a shared code would run the other word's action.
  const QStringList words{
    "save_each_spectrum",       "analyzer_set_LCF_constraint", "load_hdf5_stack",
    "analyzer_exec_pca",        "analyzer_exec_cluster",       "analyzer_save_cluster_spectra",
    "analyzer_select_map",      "calib_set_edge_position",     "analyzer_set_elem_edge_position",
    "saveDataCfg_save_as_hdf5", "calib_remove_outliers"
  };
  QSet<int> codes;
  for (const QString& w : words) {
    const int code = batchExtraCommandCode(w.toUpper());
    EXPECT_NE(code, BatchExtraCmd::None) << w.toStdString();
    EXPECT_EQ(batchCommandCode(w), BatchCmd::Unknown) << w.toStdString();
    codes.insert(code);
  }
  EXPECT_EQ(codes.size(), words.size());
}
