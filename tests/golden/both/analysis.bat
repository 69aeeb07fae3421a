# Every analysis and save word the batch runner shares with the windows; run
# by both programs in a folder holding sample-data/, writing into out/.
eng_by_name_i1
eng_by_name_i0
set_i1_energy_pattern "\d\d\d\d\d_\d\d\d\d"
set_i0_energy_pattern "\d\d\d\d\d_\d\d\d\d"
set_band_w 1
set_band_h 1
select_region 2 2 24 14
Suggesting_Elm Ni
Suggesting_Elm Cu
Suggesting_Edge 0
Suggest_Elm 1

load_I1_files_of_pattern NEW sample-data/foil/tif I1_*.tif
load_I0_files_of_pattern NEW sample-data/foil/tif I0_*.tif
Use_I0 1
calib_load_std sample-data/foil/tif/ref_A.dat
calib_set_edge_position interpolated
calib_exec
calib_remove_outliers
calib_save_map out/shift.emp
calib_clear_map
calib_load_map out/shift.emp

load_I1_files_of_pattern NEW sample-data/tif I1_*.tif
load_I0_files_of_pattern NEW sample-data/tif I0_*.tif
move_position 7 5
Suggesting_Pre_End_eV -25
Suggesting_Post_Start_eV 30
save_spectra out/point.dat
analyzer_set_LCF_std 0 1 0 sample-data/tif/ref_A.dat 1
analyzer_set_LCF_std 1 1 0.5 sample-data/tif/ref_B.dat 0
analyzer_set_LCF_constraint 1 1
analyzer_exec_LCF
saveDataCfg_save_as_text
saveDataCfg_text_as_csv
saveDataCfg_text_as_vals
:for ref %r 0 1
analyzer_select_image_type %r 0
save_data out/amount%r.dat
:next ref
analyzer_select_image 8
save_data out/residual.dat
analyzer_set_LCF_residual rfactor
analyzer_exec_LCF
save_data out/rfactor.dat
analyzer_set_LCF_residual zansa
saveDataCfg_save_as_tiff
saveDataCfg_tiff_as_analyzed 1
analyzer_select_image_type 1 1
save_data out/lcf1.tif
# The picture of the view: the windows only.
save_image out/view.png

analyzer_set_ra_energy 9010
analyzer_set_ra_factor 0.5
analyzer_exec_ra
saveDataCfg_save_as_text
:for img %i 5 7
analyzer_select_image %i
save_data out/ra%i.dat
:next img
save_each_spectrum out/spectra.dat raw_xafs

analyzer_target_elements "Cu-K, Ni"
analyzer_elems_sort_by_an 1
analyzer_elems_set_deVs 15
analyzer_elems_roi Cu-K 8990 9010
analyzer_elems_thdmut 0 0.01
analyzer_elems_no_neg Cu-K 1
analyzer_elems_set_use Ni-K 1
analyzer_elems_bg_dMut -2
analyzer_elems_bg_NROI 0.5
analyzer_elems_bg_dMutR 0.3
analyzer_elems_bg_dE 0.25
analyzer_elems_bg_ROI 0.1
analyzer_elems_set_corr_th 0.8
analyzer_set_elem_edge_position derivative
analyzer_elems_select_target Cu-K
analyzer_exec_elems
analyzer_elems_select_show 1
:for kind %k 0 6
analyzer_elems_select_disp_mode %k
save_data out/elem%k.dat
:next kind
analyzer_select_analysis_mode 1
analyzer_set_dMut_scale_max 2
saveDataCfg_save_as_tiff
cbar_set_range 0 1 0.2 0.8
saveDataCfg_tiff_fix_scale 1
saveDataCfg_tiff_scale_min -0.5
saveDataCfg_tiff_scale_max 2
save_data out/rest.tif
saveDataCfg_tiff_fix_scale 0
cbar_set_all
save_data_as_tiff out/rest_plain.tif
saveDataCfg_save_as_text

analyzer_exec_pca 2
analyzer_select_map PCA Score 2
save_data out/score2.dat
analyzer_exec_cluster 3 2
analyzer_select_map Cluster Map
save_data out/clusters.dat
analyzer_save_cluster_spectra out/cluster

# MLCF with a third reference: the row after the last is added.
analyzer_set_LCF_constraint 0
analyzer_set_LCF_mode 1
analyzer_view_enerugy_correction 1
analyzer_set_LCF_std 2 1 -1.5 sample-data/tif/ref_A.dat 0
analyzer_exec_LCF
saveDataCfg_save_as_text
saveDataCfg_text_as_ssv
saveDataCfg_text_as_xyz
:for ref %r 0 2
analyzer_select_image_type %r 1
save_data out/mlcf%r.dat
:next ref
saveDataCfg_save_as_hdf5
save_data out/maps
quit
