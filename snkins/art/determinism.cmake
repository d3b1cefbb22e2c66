# Runs the art generator twice for one set, into two folders, and fails unless both runs wrote
# the same files with the same bytes. Each run gets a private HOME, TMPDIR and XDG_RUNTIME_DIR.
# cmake -DGEN=ostrel_artgen -DSET=kit -DWORK=dir [-DINPUTS=a|b] [-DENV=K=V|K=V] -P determinism.cmake
# ENV is the environment the build runs the generator with.
string(REPLACE "|" ";" inputs "${INPUTS}")
string(REPLACE "|" ";" env_extra "${ENV}")
file(REMOVE_RECURSE ${WORK})
foreach(run first second)
  set(env ${WORK}/${run}-env)
  file(MAKE_DIRECTORY ${env}/home ${env}/tmp ${env}/runtime)
  file(CHMOD ${env}/home ${env}/tmp ${env}/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env HOME=${env}/home TMPDIR=${env}/tmp XDG_RUNTIME_DIR=${env}/runtime
            QT_QPA_PLATFORM=offscreen ${env_extra} ${GEN} ${SET} ${WORK}/${run} ${inputs}
    RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the generator failed on its ${run} run of set ${SET} (exit ${rc})")
  endif()
  file(GLOB_RECURSE files_${run} LIST_DIRECTORIES false RELATIVE ${WORK}/${run} ${WORK}/${run}/*)
  list(SORT files_${run})
endforeach()
if(NOT files_first STREQUAL files_second)
  message(FATAL_ERROR "the two runs wrote different files:\n${files_first}\n${files_second}")
endif()
list(LENGTH files_first count)
if(count EQUAL 0)
  message(FATAL_ERROR "the generator wrote nothing for set ${SET}")
endif()
foreach(f ${files_first})
  file(SHA256 ${WORK}/first/${f} a)
  file(SHA256 ${WORK}/second/${f} b)
  if(NOT a STREQUAL b)
    message(FATAL_ERROR "${f} differs between two runs of set ${SET}")
  endif()
endforeach()
message(STATUS "set ${SET}: ${count} files, identical on both runs")
file(REMOVE_RECURSE ${WORK})
