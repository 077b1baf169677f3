# cmake -DPROGRAM=path -DARGS="--a b" -DOUTPUT=file -P ProgramOutput.cmake
# Writes what PROGRAM ARGS prints to OUTPUT: the manual pages and completion scripts the
# programs print of their own help and command table. A failed run leaves no file.
separate_arguments(args UNIX_COMMAND "${ARGS}")
# No display is needed; a sanitizer build's leak report at exit would fail the step.
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 ${PROGRAM} ${args}
                OUTPUT_FILE ${OUTPUT}.part RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  file(REMOVE ${OUTPUT}.part)
  message(FATAL_ERROR "${PROGRAM} ${ARGS} failed: ${rc}")
endif()
file(RENAME ${OUTPUT}.part ${OUTPUT})
