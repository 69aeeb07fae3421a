# Every text the windows show through tr() (and the texts marked with
# QT_TRANSLATE_NOOP) has its Japanese translation: lupdate over the sources
# into a copy of the translation finds nothing left to translate.
configure_file(${TS} ${COPY} COPYONLY)
execute_process(COMMAND ${LUPDATE} -no-obsolete ${SRC} -ts ${COPY}
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lupdate failed (${rc})")
endif()
file(READ ${COPY} ts)
string(REGEX MATCHALL "<source>[^<]*</source>[ \r\n]*<translation type=\"unfinished\"" missing "${ts}")
list(LENGTH missing n)
if(n GREATER 0)
  string(REGEX REPLACE "[ \r\n]*<translation type=\"unfinished\"" "" missing "${missing}")
  message(FATAL_ERROR "${n} text(s) without a Japanese translation: ${missing}\n"
                      "Run: lupdate -no-obsolete src -ts src/gui/forms/Lumacresta_ja_JP.ts "
                      "and translate them.")
endif()
