# Shared by the packaging test scripts: reading the version record, running
# tools, and collecting failures so that one run reports every mismatch.

set(_failures "")

# check(<condition text> <actual> <expected>): records a failure when the two
# differ.
function(check what actual expected)
    if(NOT "${actual}" STREQUAL "${expected}")
        set(_failures "${_failures}\n  ${what}: \"${actual}\", expected \"${expected}\"" PARENT_SCOPE)
    endif()
endfunction()

function(fail what)
    set(_failures "${_failures}\n  ${what}" PARENT_SCOPE)
endfunction()

macro(report_failures)
    if(NOT _failures STREQUAL "")
        message(FATAL_ERROR "FAILED:${_failures}")
    endif()
    message(STATUS "All checks passed")
endmacro()

# Reads every `#define VER_<FIELD>_STR "text"` of the record into
# REC_<FIELD>, and the numeric versions VER_FILEVERSION and
# VER_PRODUCTVERSION, written "1, 0, 0, 1", into REC_FILEVERSION_NUMBERS and
# REC_PRODUCTVERSION_NUMBERS as "1.0.0.1".
function(read_version_record path)
    if(NOT EXISTS "${path}")
        message(FATAL_ERROR "No version record at ${path}")
    endif()
    file(STRINGS "${path}" lines REGEX "^#define VER_")
    foreach(line IN LISTS lines)
        if(line MATCHES "^#define VER_([A-Z]+)_STR \"([^\"]*)\"$")
            set(REC_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}" PARENT_SCOPE)
        elseif(line MATCHES "^#define VER_(FILEVERSION|PRODUCTVERSION) ([0-9, ]+)$")
            set(field "${CMAKE_MATCH_1}")
            string(REGEX REPLACE " *, *" "." numbers "${CMAKE_MATCH_2}")
            set(REC_${field}_NUMBERS "${numbers}" PARENT_SCOPE)
        endif()
    endforeach()
endfunction()

# run(<output variable> <command>...): runs the command and fails the test at
# once, with its output, when it cannot run or exits non-zero.
function(run out)
    execute_process(COMMAND ${ARGN}
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error)
    if(NOT result STREQUAL "0")
        string(REPLACE ";" " " command "${ARGN}")
        message(FATAL_ERROR "${command}\nexited with ${result}\n${output}${error}")
    endif()
    set(${out} "${output}" PARENT_SCOPE)
endfunction()

# The value of `key` in a desktop file of one group, "<missing>" if absent.
function(desktop_value out file key)
    file(READ "${file}" text)
    if(text MATCHES "(^|\n)${key}=([^\n]*)")
        set(${out} "${CMAKE_MATCH_2}" PARENT_SCOPE)
    else()
        set(${out} "<missing>" PARENT_SCOPE)
    endif()
endfunction()

# `text` with the characters that regular expressions treat specially escaped.
function(regex_escape out text)
    string(REGEX REPLACE "([][.*+?^$()|\\\\])" "\\\\\\1" escaped "${text}")
    set(${out} "${escaped}" PARENT_SCOPE)
endfunction()
