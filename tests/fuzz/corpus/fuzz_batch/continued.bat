load_i1_files \
  a.tif \
  b.tif
:for k K 1 2 0
save_data "K K" \

:next k
