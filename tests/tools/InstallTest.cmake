# Installs the build under a fresh data root and starts what landed in ROOT/Rpt/ as a firm would:
# make-demo-data creates firm 5, year 2 there, and the designer finds that root as its folder's
# parent (run with BUILD_DIR and WORK_DIR set).
set(root ${WORK_DIR}/install-test)
file(REMOVE_RECURSE ${root})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${root} OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(GLOB installed RELATIVE ${root} ${root}/*/*)
if(NOT installed STREQUAL "Rpt/copy-to-server;Rpt/designer;Rpt/make-demo-data")
  message(FATAL_ERROR "Installed: ${installed}")
endif()
execute_process(COMMAND ${root}/Rpt/make-demo-data ${root} 5,2 OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)

set(ENV{QT_QPA_PLATFORM} offscreen)
execute_process(COMMAND ${root}/Rpt/designer 5,3 RESULT_VARIABLE code ERROR_VARIABLE errors TIMEOUT 30)
if(NOT code EQUAL 2 OR NOT errors MATCHES "${root}/Firm5/Yr3/Corvane3")
  message(FATAL_ERROR "A missing year: exit ${code}, ${errors}")
endif()
# Both files open, the list stays up until the timeout ends it.
execute_process(COMMAND ${root}/Rpt/designer 5,2 RESULT_VARIABLE code ERROR_VARIABLE errors TIMEOUT 3)
if(NOT code MATCHES "timeout")
  message(FATAL_ERROR "Year 2 did not start: exit ${code}, ${errors}")
endif()
file(REMOVE_RECURSE ${root})
