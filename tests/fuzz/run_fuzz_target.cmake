# Runs one fuzz target for SECONDS on its seeds (SEEDS) and on what earlier runs found
# (WORK/corpus). Any crash, sanitizer report, leak, timeout or out-of-memory stops the
# fuzzer with a non-zero status and fails the test; the input that did it is kept in
# WORK/artifacts/.
foreach(variable FUZZER SECONDS WORK SEEDS)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "run_fuzz_target.cmake: ${variable} is not set")
  endif()
endforeach()
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/artifacts)
execute_process(
  COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
          -artifact_prefix=${WORK}/artifacts/ ${OPTIONS} ${WORK}/corpus ${SEEDS}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${FUZZER} stopped with status ${status}; the input is in ${WORK}/artifacts/")
endif()
