:rem_start
anything here
:rem_end
:echo after
unknown_word 1 2
