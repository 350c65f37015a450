# Installs the security library from the build tree into a private prefix,
# then configures, builds and runs the consumer project against that prefix.
# Called by CTest with -D BUILD_DIR, WORK_DIR, CONSUMER_SOURCE, GENERATOR,
# CXX_COMPILER and CXX_FLAGS.
function(run step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
                  ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${step} failed (${result}):\n${output}")
  endif()
  message(STATUS "${step}: ok")
endfunction()

file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")
run(install ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
    --component tarv_security)
run(configure ${CMAKE_COMMAND} -S "${CONSUMER_SOURCE}" -B "${WORK_DIR}/build" -G "${GENERATOR}"
    -DCMAKE_BUILD_TYPE=Release
    "-DCMAKE_PREFIX_PATH=${prefix}"
    -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
    "-DCMAKE_CXX_COMPILER=${CXX_COMPILER}"
    "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
    "-DCMAKE_EXE_LINKER_FLAGS=${CXX_FLAGS}")
run(build ${CMAKE_COMMAND} --build "${WORK_DIR}/build")
run(run "${WORK_DIR}/build/security_consumer" "${WORK_DIR}/keyless.bin")
