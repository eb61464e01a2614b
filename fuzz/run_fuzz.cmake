# Runs the fuzz target for 30 seconds on a copy of the seeds; fails on any
# crash, failed invariant, leak or input slower than 10 seconds. Scripts of
# up to 1024 bytes from the start: the target runs at most 40 actions each.
#   cmake -DFUZZER=... -DSEEDS=... -DDICTIONARY=... -DWORK_DIR=... -P run_fuzz.cmake
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/corpus)
file(GLOB seeds ${SEEDS}/*)
file(COPY ${seeds} DESTINATION ${WORK_DIR}/corpus)
execute_process(
  COMMAND ${FUZZER} -max_total_time=30 -timeout=10 -max_len=1024 -len_control=0 -dict=${DICTIONARY}
          -print_final_stats=1 -artifact_prefix=${WORK_DIR}/ ${WORK_DIR}/corpus
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(GLOB artifacts ${WORK_DIR}/crash-* ${WORK_DIR}/leak-* ${WORK_DIR}/timeout-* ${WORK_DIR}/oom-*)
  message(FATAL_ERROR "The fuzz target failed (exit ${result}); inputs kept: ${artifacts}")
endif()
