# Writes one gzipped manual page from a program's own --help and --version
# (cmake -P; HELP2MAN, PROGRAM, NAME, INCLUDE [COMMON], DATA_DIR, OUT). The programs run without a
# display, and one that does not answer in time fails the build instead of hanging it.
set(ENV{QT_QPA_PLATFORM} offscreen)
set(ENV{VELTRAN_HOME} ${DATA_DIR})
set(includes --include=${INCLUDE})
if(COMMON)
  list(APPEND includes --include=${COMMON})
endif()
execute_process(
  COMMAND ${HELP2MAN} --no-info --section=1 --name=${NAME} ${includes} ${PROGRAM}
  COMMAND gzip -9n
  OUTPUT_FILE ${OUT}.tmp
  RESULTS_VARIABLE results
  ERROR_VARIABLE errors
  TIMEOUT 60)
if(NOT results MATCHES "^0(;0)*$")
  file(REMOVE ${OUT}.tmp)
  message(FATAL_ERROR "help2man ${PROGRAM}: ${results}\n${errors}")
endif()
file(RENAME ${OUT}.tmp ${OUT})
