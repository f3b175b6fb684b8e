# The example project from the front end to the kernel, as RUN takes it: the program saves it
# with the folders of a fresh working folder, the kernel computes it and writes its results.
#   -DLUMETRIX=... -DKERNEL=... -DDATA=<data/ of the sources> -DWORK=<scratch folder>
file(REMOVE_RECURSE "${WORK}")
file(COPY "${DATA}/" DESTINATION "${WORK}")
execute_process(COMMAND "${LUMETRIX}" --workdir "${WORK}" --batch-save "${WORK}/Out/run.dat"
                        "${WORK}/in/CIGS example.dat"
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "saving the example failed (${rc}): ${err}")
endif()
execute_process(COMMAND "${KERNEL}" --threads 2 "${WORK}/Out/run.dat"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the kernel failed (${rc}): ${err}")
endif()
if(NOT out MATCHES "progress 1294 1294\n.*PV-active layers: 3[0-9]\\.[0-9][0-9] mA/cm2")
  message(FATAL_ERROR "unexpected report:\n${out}")
endif()
foreach(suffix .rta _Spec.rta _Dif.rta _Sum.jsc .jsc .jph _ratio.jph .GL .hrt _R.adf _T.adf)
  if(NOT EXISTS "${WORK}/Out/LXOut${suffix}")
    message(FATAL_ERROR "LXOut${suffix} was not written")
  endif()
endforeach()
