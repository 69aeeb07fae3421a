# Two libraries: lumacresta_core (numerics, file formats, batch interpreter,
# map records; Qt Core/Gui only) and lumacresta_gui (windows and widgets).
# Each subsystem folder adds its files with the two functions below, so a
# folder's CMakeLists.txt is the only build file its work touches.

function(lumacresta_core_sources)
  target_sources(lumacresta_core PRIVATE ${ARGN})
endfunction()

function(lumacresta_gui_sources)
  target_sources(lumacresta_gui PRIVATE ${ARGN})
endfunction()
