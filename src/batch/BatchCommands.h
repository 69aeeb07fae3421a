#pragma once

#include <QString>

// The executor's command table: 121 words with codes 0 to 120, in code
// order. One list feeds both the enum and the word lookup, so the two can
// never disagree.
#define LC_BATCH_COMMANDS(X)                                                                       \
  X(ClearI1Files, "clear_I1_files")                                                                \
  X(ClearI0Files, "clear_I0_files")                                                                \
  X(SetI1EnergyPattern, "set_i1_energy_pattern")                                                   \
  X(SetI0EnergyPattern, "set_i0_energy_pattern")                                                   \
  X(LoadI1Files, "load_I1_files")                                                                  \
  X(LoadI0Files, "load_I0_files")                                                                  \
  X(LoadI1FilesOfPattern, "load_I1_files_of_pattern")                                              \
  X(LoadI0FilesOfPattern, "load_I0_files_of_pattern")                                              \
  X(CutFI0, "cut_f_i0")                                                                            \
  X(CutFI1, "cut_f_i1")                                                                            \
  X(CutLI0, "cut_l_i0")                                                                            \
  X(CutLI1, "cut_l_i1")                                                                            \
  X(SkipI0, "skip_i0")                                                                             \
  X(SkipI1, "skip_i1")                                                                             \
  X(ShowLatestI0, "show_latest_i0")                                                                \
  X(ShowLatestI1, "show_latest_i1")                                                                \
  X(EngByNameI0, "eng_by_name_i0")                                                                 \
  X(EngByNameI1, "eng_by_name_i1")                                                                 \
  X(EngByNameRegExpI0, "eng_by_name_reg_exp_i0")                                                   \
  X(EngByNameRegExpI1, "eng_by_name_reg_exp_i1")                                                   \
  X(EngByNameFactorI0, "eng_by_name_factor_i0")                                                    \
  X(EngByNameFactorI1, "eng_by_name_factor_i1")                                                    \
  X(EngByCalcI0, "eng_by_calc_i0")                                                                 \
  X(EngByCalcI1, "eng_by_calc_i1")                                                                 \
  X(EngCalcBaseI0, "eng_calc_base_i0")                                                             \
  X(EngCalcBaseI1, "eng_calc_base_i1")                                                             \
  X(EngCalcDeltaI0, "eng_calc_delta_i0")                                                           \
  X(EngCalcDeltaI1, "eng_calc_delta_i1")                                                           \
  X(EngCalcEndI0, "eng_calc_end_i0")                                                               \
  X(EngCalcEndI1, "eng_calc_end_i1")                                                               \
  X(EngCalcNumI0, "eng_calc_num_i0")                                                               \
  X(EngCalcNumI1, "eng_calc_num_i1")                                                               \
  X(EngCalcEvenInEngI0, "eng_calc_even_in_eng_i0")                                                 \
  X(EngCalcEvenInEngI1, "eng_calc_even_in_eng_i1")                                                 \
  X(EngCalcEvenInDegI0, "eng_calc_even_in_deg_i0")                                                 \
  X(EngCalcEvenInDegI1, "eng_calc_even_in_deg_i1")                                                 \
  X(EngCalcDispUnitI0, "eng_calc_disp_unit_i0")                                                    \
  X(EngCalcDispUnitI1, "eng_calc_disp_unit_i1")                                                    \
  X(EngByRefI0, "eng_by_ref_i0")                                                                   \
  X(EngByRefI1, "eng_by_ref_i1")                                                                   \
  X(SetFluoType, "set_fluo_type")                                                                  \
  X(SetBandW, "set_band_w")                                                                        \
  X(SetBandH, "set_band_h")                                                                        \
  X(SelectDispImage, "select_disp_image")                                                          \
  X(SeekImage, "seek_image")                                                                       \
  X(SaveImage, "save_image")                                                                       \
  X(SaveImageWNum, "save_image_w_num")                                                             \
  X(SaveAllImages, "save_all_images")                                                              \
  X(SaveData, "save_data")                                                                         \
  X(SaveDataAsTiff, "save_data_as_tiff")                                                           \
  X(MovePosition, "move_position")                                                                 \
  X(SaveSpectra, "save_spectra")                                                                   \
  X(CbarSetRange, "cbar_set_range")                                                                \
  X(CbarSetAll, "cbar_set_all")                                                                    \
  X(SelectRegion, "select_region")                                                                 \
  X(ScaleReset, "scale_reset")                                                                     \
  X(ZoomIn, "zoom_in")                                                                             \
  X(XafsViewNormalize, "xafs_view_normalize")                                                      \
  X(XafsViewEnergyCorrection, "xafs_view_enerugy_correction")                                      \
  X(AnalyzerShowWindow, "analyzer_show_window")                                                    \
  X(AnalyzerSetLCFStd, "analyzer_set_LCF_std")                                                     \
  X(AnalyzerSetLCFMode, "analyzer_set_LCF_mode")                                                   \
  X(AnalyzerExecLCF, "analyzer_exec_LCF")                                                          \
  X(AnalyzerSelectImage, "analyzer_select_image")                                                  \
  X(AnalyzerSelectImageType, "analyzer_select_image_type")                                         \
  X(AnalyzerSetRaEnergy, "analyzer_set_ra_energy")                                                 \
  X(AnalyzerSetRaFactor, "analyzer_set_ra_factor")                                                 \
  X(AnalyzerExecRa, "analyzer_exec_ra")                                                            \
  X(AnalyzerSetFixedScale, "analyzer_set_fixed_scale")                                             \
  X(AnalyzerSetScaleMax, "analyzer_set_scale_max")                                                 \
  X(AnalyzerSetScaleMin, "analyzer_set_scale_min")                                                 \
  X(AnalyzerSetDMutScaleMax, "analyzer_set_dMut_scale_max")                                        \
  X(AnalyzerSetDMutScaleMin, "analyzer_set_dMut_scale_min")                                        \
  X(AnalyzerSetRatioScaleMax, "analyzer_set_ratio_scale_max")                                      \
  X(AnalyzerSetRatioScaleMin, "analyzer_set_ratio_scale_min")                                      \
  X(AnalyzerViewNormalize, "analyzer_view_normalize")                                              \
  X(AnalyzerViewEnergyCorrection, "analyzer_view_enerugy_correction")                              \
  X(AnalyzerTargetElements, "analyzer_target_elements")                                            \
  X(AnalyzerSelectAnalysisMode, "analyzer_select_analysis_mode")                                   \
  X(AnalyzerElemsSelectTarget, "analyzer_elems_select_target")                                     \
  X(AnalyzerElemsSelectShow, "analyzer_elems_select_show")                                         \
  X(AnalyzerElemsSetDeVs, "analyzer_elems_set_deVs")                                               \
  X(AnalyzerElemsSetCorrTh, "analyzer_elems_set_corr_th")                                          \
  X(AnalyzerElemsSelectDispMode, "analyzer_elems_select_disp_mode")                                \
  X(AnalyzerElemsSetUse, "analyzer_elems_set_use")                                                 \
  X(AnalyzerElemsSortByAn, "analyzer_elems_sort_by_an")                                            \
  X(AnalyzerElemsRoi, "analyzer_elems_roi")                                                        \
  X(AnalyzerElemsThdmut, "analyzer_elems_thdmut")                                                  \
  X(AnalyzerElemsNoNeg, "analyzer_elems_no_neg")                                                   \
  X(AnalyzerElemsBgDMut, "analyzer_elems_bg_dMut")                                                 \
  X(AnalyzerElemsBgDMutR, "analyzer_elems_bg_dMutR")                                               \
  X(AnalyzerElemsBgDE, "analyzer_elems_bg_dE")                                                     \
  X(AnalyzerElemsBgROI, "analyzer_elems_bg_ROI")                                                   \
  X(AnalyzerElemsBgNROI, "analyzer_elems_bg_NROI")                                                 \
  X(AnalyzerExecElems, "analyzer_exec_elems")                                                      \
  X(CalibShowWindow, "calib_show_window")                                                          \
  X(CalibLoadStd, "calib_load_std")                                                                \
  X(CalibSetEdgeEV, "calib_set_edge_eV")                                                           \
  X(CalibExec, "calib_exec")                                                                       \
  X(CalibLoadMap, "calib_load_map")                                                                \
  X(CalibClearMap, "calib_clear_map")                                                              \
  X(CalibSaveMap, "calib_save_map")                                                                \
  X(SaveDataCfgShowWindow, "saveDataCfg_show_window")                                              \
  X(SaveDataCfgSaveAsTiff, "saveDataCfg_save_as_tiff")                                             \
  X(SaveDataCfgSaveAsText, "saveDataCfg_save_as_text")                                             \
  X(SaveDataCfgTiffFixScale, "saveDataCfg_tiff_fix_scale")                                         \
  X(SaveDataCfgTiffScaleMin, "saveDataCfg_tiff_scale_min")                                         \
  X(SaveDataCfgTiffScaleMax, "saveDataCfg_tiff_scale_max")                                         \
  X(SaveDataCfgTiffAsAnalyzed, "saveDataCfg_tiff_as_analyzed")                                     \
  X(SaveDataCfgTextAsCsv, "saveDataCfg_text_as_csv")                                               \
  X(SaveDataCfgTextAsSsv, "saveDataCfg_text_as_ssv")                                               \
  X(SaveDataCfgTextAsXyz, "saveDataCfg_text_as_xyz")                                               \
  X(SaveDataCfgTextAsVals, "saveDataCfg_text_as_vals")                                             \
  X(Quit, "quit")                                                                                  \
  X(UseI0, "Use_I0")                                                                               \
  X(SuggestElm, "Suggest_Elm")                                                                     \
  X(SuggestingElm, "Suggesting_Elm")                                                               \
  X(SuggestingEdge, "Suggesting_Edge")                                                             \
  X(SuggestingEdgeEV, "Suggesting_Edge_eV")                                                        \
  X(SuggestingPreEndEV, "Suggesting_Pre_End_eV")                                                   \
  X(SuggestingPostStartEV, "Suggesting_Post_Start_eV")

namespace BatchCmd {
#define LC_BATCH_ENUM_ENTRY(name, word) name,
enum Code : int
{
  LC_BATCH_COMMANDS(LC_BATCH_ENUM_ENTRY)
  // Every word that is neither a command nor an interpreter keyword.
  Unknown
};
#undef LC_BATCH_ENUM_ENTRY
} // namespace BatchCmd

static_assert(BatchCmd::Unknown == 121, "the command table has 121 words");

// Words beyond the table, added for unattended use. They keep codes of their
// own (from 200), so the table's words and codes stay as they are.
namespace BatchExtraCmd {
enum Code : int
{
  SaveEachSpectrum = 200,
  AnalyzerSetLCFConstraint = 201,
  LoadHdf5Stack = 202,
  AnalyzerExecPca = 203,
  AnalyzerExecCluster = 204,
  AnalyzerSaveClusterSpectra = 205,
  AnalyzerSelectMap = 206,
  CalibSetEdgeLocate = 207,
  AnalyzerSetElemEdgeLocate = 208,
  SaveDataCfgSaveAsHdf5 = 209,
  CalibRemoveOutliers = 210,
  AnalyzerSetLCFResidual = 211,
  None = -1
};
}

// The interpreter's own keywords.
namespace BatchKeyword {
enum Code : int
{
  For = 0,
  Next = 1,
  Echo = 2,
  RemStart = 3,
  RemEnd = 4,
  End = 5,
  None = -1
};
}

// Code of `word` in the command table, compared without regard to letter
// case; BatchCmd::Unknown (121) for any other word.
int batchCommandCode(const QString& word);
// The word of `code` as the table writes it; empty outside 0..120.
QString batchCommandWord(int code);
// Keyword code of `word` (":for" ... ":end", any letter case), or
// BatchKeyword::None.
int batchKeywordCode(const QString& word);
// Code of `word` among the words beyond the table (any letter case), or
// BatchExtraCmd::None.
int batchExtraCommandCode(const QString& word);
