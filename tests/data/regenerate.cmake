# Runs one data generator into an empty scratch folder and compares what it wrote with the
# shipped files byte for byte.
#   -DGENERATOR=<program> -DARGS=<arguments before the output folder> -DFILES=<names>
#   -DSHIPPED=<data folder> -DSCRATCH=<scratch folder>
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
execute_process(COMMAND "${GENERATOR}" ${ARGS} "${SCRATCH}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${GENERATOR} failed (${result})")
endif()
set(differing)
foreach(name IN LISTS FILES)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${SCRATCH}/${name}" "${SHIPPED}/${name}"
                  RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    list(APPEND differing ${name})
  endif()
endforeach()
if(differing)
  message(FATAL_ERROR "regenerated ${differing} differ from data/ (fresh copies in ${SCRATCH}); "
                      "if the change is intended, build the target regenerate_data and review the diff")
endif()
file(REMOVE_RECURSE "${SCRATCH}")
