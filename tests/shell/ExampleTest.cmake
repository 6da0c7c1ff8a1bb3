# Configures and builds the example project in examples/icons against the
# glimmet just built, as a build machine would: with no display server named.
# The example's program must then draw the icons as the expected text.
#
#   cmake -DGLIMMET=... -DSOURCE_DIR=... -DBINARY_DIR=... -DGENERATOR=... -P ExampleTest.cmake

foreach(variable GLIMMET SOURCE_DIR BINARY_DIR GENERATOR)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "ExampleTest.cmake needs -D${variable}=...")
    endif()
endforeach()

unset(ENV{DISPLAY})
unset(ENV{WAYLAND_DISPLAY})
unset(ENV{QT_QPA_PLATFORM})

function(run what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${what} failed (${status}):\n${out}")
    endif()
endfunction()

file(REMOVE_RECURSE "${BINARY_DIR}")
run("Configuring the example" ${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${BINARY_DIR}"
    -G "${GENERATOR}" "-DGLIMMET=${GLIMMET}")
run("Building the example" ${CMAKE_COMMAND} --build "${BINARY_DIR}")

execute_process(COMMAND "${BINARY_DIR}/show_icons" RESULT_VARIABLE status OUTPUT_VARIABLE drawn)
file(READ "${SOURCE_DIR}/expected.txt" expected)
if(NOT status EQUAL 0 OR NOT drawn STREQUAL expected)
    message(FATAL_ERROR "show_icons ended with ${status} and drew\n${drawn}\ninstead of\n${expected}")
endif()
