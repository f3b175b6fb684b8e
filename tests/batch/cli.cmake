# Runs the program with ARGS (a list) and checks its exit code and what it prints.
#   -DEXE=lumetrix -DCASE=name -DARGS=... -DEXPECT_RC=0 [-DEXPECT_STDOUT=regex] [-DEXPECT_STDERR=regex]
execute_process(COMMAND "${EXE}" ${ARGS} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL EXPECT_RC)
  message(FATAL_ERROR "${CASE}: exit code ${rc}, expected ${EXPECT_RC}\n${out}${err}")
endif()
foreach(stream out err)
  string(TOUPPER "EXPECT_STD${stream}" expect)
  if(DEFINED ${expect} AND NOT "${${stream}}" MATCHES "${${expect}}")
    message(FATAL_ERROR "${CASE}: std${stream} does not match \"${${expect}}\":\n${${stream}}")
  endif()
endforeach()
