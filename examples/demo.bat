# ===========================================================================
#  Lumacresta demo: a linear-combination-fit (LCF) map, unattended
# ===========================================================================
#
# The sample is a mixture of two compounds, A and B, whose share changes
# from left to right. We load the image stack, let every image take its
# energy from its file name, pick the area, tell the analysis which two
# reference spectra to fit with, run the fit at every point and save the
# fraction maps.
#
# Run it from the folder that holds sample-data/ (bash scripts/run.sh does
# all of this for you):
#
#     lumacresta-batch examples/demo.bat        (no windows)
#     lumacresta -b examples/demo.bat -x        (in the windows)
#
# How to read a batch:
#   - one command a line; "#" starts a comment;
#   - items are separated by blanks, "double quotes" keep blanks in a name;
#   - a line ending in "\" goes on on the next line;
#   - ":for NAME FORM FROM TO" ... ":next NAME" repeats the lines between,
#     with every FORM in them replaced by the loop's value;
#   - each command waits for the one before it: a load waits until every
#     image is read, a 2-D fit until the last point is done.
# All commands are listed, with examples, in docs/batch-commands.md.

:echo "Lumacresta demo starts"

# ---- 1. Energies -----------------------------------------------------------
# The generator names each image after its energy: I1_08979_5000.tif was
# taken at 8979.5 eV. "eng_by_name" reads the energy from the name, for the
# sample images (I1) and for the incident-beam images (I0) alike; the
# pattern (a regular expression: \d is one digit) picks the number out of
# the name - five digits, "_" for the decimal point, four digits.
eng_by_name_i1
eng_by_name_i0
set_i1_energy_pattern "\d\d\d\d\d_\d\d\d\d"
set_i0_energy_pattern "\d\d\d\d\d_\d\d\d\d"
# Drawing every image while it arrives costs time on a long stack: show
# only the last one.
show_latest_i1 0
show_latest_i0 0

# ---- 2. Area and binning ---------------------------------------------------
# Every point of the map is the sum of a box of (2*2+1) x (2*2+1) pixels,
# which lowers the noise five-fold in each direction.
set_band_w 2
set_band_h 2
# x y width height of the analysed area; a larger area than the image is
# cut to the image, so this takes all of it.
select_region 0 0 128 128

# ---- 3. Energy calibration -------------------------------------------------
# The beam's energy scale drifts by up to 1 eV from the top of the image to
# the bottom, as on a real beamline. A foil of compound A alone, imaged with
# the same beam, shows that drift as a shift of its edge: the calibration
# finds the edge of every box and stores its shift from the standard's edge
# (the reference spectrum of A) in the energy-shift map. Every later
# spectrum of a point is read on its corrected energy scale.
#
# "NEW" forgets what was loaded before (any other word adds to it); then a
# folder and a wildcard pattern.
load_I1_files_of_pattern NEW sample-data/foil/tif I1_*.tif
load_I0_files_of_pattern NEW sample-data/foil/tif I0_*.tif
# Absorption is ln(I0 / I1): use the I0 images.
Use_I0 1
calib_load_std sample-data/foil/tif/ref_A.dat
# The batch waits here until every box is done.
calib_exec
# The map as a file (the demo's check compares it with the true drift).
calib_save_map demo-output/shift.emp

# ---- 4. Load the sample ----------------------------------------------------
load_I1_files_of_pattern NEW sample-data/tif I1_*.tif
load_I0_files_of_pattern NEW sample-data/tif I0_*.tif

# ---- 5. References ---------------------------------------------------------
# One line per reference row of the analysis window (rows count from 0):
#   row  use  energy-shift(eV)  file  victoreen-normalisation
# The energy shift dE: at sample energy E the reference is read at E + dE.
# References whose energies miss the sample's are not fitted; the program
# says so in its log and in the analysis window.
# The last item chooses the references' pre-/post-edge lines: 1 Victoreen,
# 0 straight. The sample's spectra take straight lines here ("Energy
# Correction" off in the analysis window), so the references do too: lines
# of another model bias the fractions by a few per cent
# (docs/normalisation.md).
analyzer_set_LCF_std 0 1 0 sample-data/tif/ref_A.dat 0
analyzer_set_LCF_std 1 1 0 sample-data/tif/ref_B.dat 0
# 0: plain LCF, 1: MLCF. Plain LCF does not force the fractions to sum to
# one: each point gets the best weights whatever their sum (0.99 to 1.01
# in this demo); MLCF divides its weights by their sum.
analyzer_set_LCF_mode 0

# ---- 6. The fit at every point ---------------------------------------------
# The batch waits here until the whole area is done. Each point is fitted on
# its own energy scale, corrected by the shift map of step 3.
analyzer_exec_LCF

# ---- 7. Save the maps ------------------------------------------------------
# Text: one "x y value" line per point, blank-separated.
saveDataCfg_save_as_text
saveDataCfg_text_as_xyz
saveDataCfg_text_as_ssv
# For each reference row (%r = 0, 1): show its fraction map (image type 1;
# 0 would be the amount) and save it. The program adds the map's number to
# the name: demo-output/fraction0-<n>.dat.
:for ref %r 0 1
analyzer_select_image_type %r 1
save_data demo-output/fraction%r.dat
:next ref

# A picture of each fraction map with its colour bar, as the main window
# shows it (demo-output/fraction0.png, fraction1.png).
:for ref %r 0 1
analyzer_select_image_type %r 1
save_image demo-output/fraction%r.png
:next ref

# The same maps as 16-bit TIFF pictures, scaled from 0 to 1, with a picture
# of the colour bar beside each ("...-cBar.tif").
saveDataCfg_save_as_tiff
saveDataCfg_tiff_fix_scale 1
saveDataCfg_tiff_scale_min 0
saveDataCfg_tiff_scale_max 1
:for ref %r 0 1
analyzer_select_image_type %r 1
save_data demo-output/fraction%r.tif
:next ref

:echo "Lumacresta demo done"
# Ends the program. Delete this line to look at the maps in the analysis
# window instead.
quit
