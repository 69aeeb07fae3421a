:echo "start"
:for i %i 1 3
:for j %j 03 01 1
  load_file "a%i_%j.tif" # c
:next j
:next i
:end
never_run
