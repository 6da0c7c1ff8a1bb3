# Builds the Debian package with CPack and checks it: its control fields come
# from the version record, its dependencies were found from the program's
# libraries, its description keeps to Debian's line width, it holds the
# desktop install, the manual page and the changelog under /usr, and lintian
# finds nothing to warn about.
#
# cmake -DBUILD_DIR=... -DOUTPUT_DIR=... -DRECORD=.../Version.h -DAPP_ID=...
#       -DSUMMARY=... -DMAINTAINER=... -DICON_SIZES=16,32,...
#       -P DebPackageTest.cmake

include(${CMAKE_CURRENT_LIST_DIR}/PackagingTestSupport.cmake)
read_version_record("${RECORD}")

file(REMOVE_RECURSE "${OUTPUT_DIR}")
run(cpack_log cpack -G DEB -B "${OUTPUT_DIR}" --config "${BUILD_DIR}/CPackConfig.cmake")
file(GLOB debs "${OUTPUT_DIR}/*.deb")
list(LENGTH debs deb_count)
if(NOT deb_count EQUAL 1)
    message(FATAL_ERROR "Expected one package in ${OUTPUT_DIR}, found ${deb_count}\n${cpack_log}")
endif()

run(architecture dpkg --print-architecture)
string(STRIP "${architecture}" architecture)
get_filename_component(deb_name "${debs}" NAME)
check("package file name" "${deb_name}"
      "${REC_INTERNALNAME}_${REC_FILEVERSION}_${architecture}.deb")

foreach(field IN ITEMS Package Version Maintainer Architecture Depends)
    run(value dpkg-deb -f "${debs}" ${field})
    string(STRIP "${value}" ${field})
endforeach()
check("Package" "${Package}" "${REC_INTERNALNAME}")
check("Version" "${Version}" "${REC_FILEVERSION}")
check("Maintainer" "${Maintainer}" "${MAINTAINER}")
regex_escape(company_pattern "${REC_COMPANYNAME}")
if(NOT Maintainer MATCHES "^${company_pattern} <[^<>@ ]+@[^<>@ ]+>$")
    fail("Maintainer is not the record's company with a mail address: \"${Maintainer}\"")
endif()
check("Architecture" "${Architecture}" "${architecture}")
# dpkg-shlibdeps found the toolkit and the C++ runtime the program links.
foreach(library IN ITEMS libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6)
    regex_escape(library_pattern "${library}")
    if(NOT Depends MATCHES "(^|, )${library_pattern} \\(>= [^)]+\\)")
        fail("Depends lacks ${library}: \"${Depends}\"")
    endif()
endforeach()

# The description: the summary as the synopsis, then the long text in lines
# of at most 80 columns, each indented by one blank.
run(description dpkg-deb -f "${debs}" Description)
string(REGEX REPLACE "\n$" "" description "${description}")
string(REPLACE "\n" ";" description_lines "${description}")
list(GET description_lines 0 synopsis)
check("Description synopsis" "${synopsis}" "${SUMMARY}")
list(LENGTH description_lines description_line_count)
if(description_line_count LESS 2)
    fail("Description has no long text")
endif()
list(SUBLIST description_lines 1 -1 long_lines)
foreach(line IN LISTS long_lines)
    string(LENGTH "${line}" length)
    if(length GREATER 80 OR NOT line MATCHES "^ [^ ]")
        fail("Description line is not one blank and at most 79 columns of text: \"${line}\"")
    endif()
endforeach()

# The contents: the desktop install, the manual page and the changelog under
# /usr.
run(contents dpkg-deb -c "${debs}")
set(expected_paths
    "./usr/bin/${REC_ORIGINALFILENAME}"
    "./usr/share/applications/${APP_ID}.desktop"
    "./usr/share/metainfo/${APP_ID}.metainfo.xml"
    "./usr/share/man/man1/${REC_ORIGINALFILENAME}.1.gz"
    "./usr/share/doc/${REC_INTERNALNAME}/changelog.gz"
    "./usr/share/doc/${REC_INTERNALNAME}/copyright")
string(REPLACE "," ";" icon_sizes "${ICON_SIZES}")
foreach(size IN LISTS icon_sizes)
    list(APPEND expected_paths "./usr/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png")
endforeach()
foreach(path IN LISTS expected_paths)
    regex_escape(path_pattern "${path}")
    if(NOT contents MATCHES " ${path_pattern}\n")
        fail("The package does not hold ${path}")
    endif()
endforeach()

# Lintian, Debian's package checker: not one error or warning. Its remarks of
# lower rank (informational, pedantic) are allowed.
find_program(LINTIAN lintian)
if(NOT LINTIAN)
    fail("lintian is missing (scripts/setup.sh installs it)")
else()
    execute_process(COMMAND "${LINTIAN}" --fail-on error,warning "${debs}"
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error)
    if(NOT result STREQUAL "0" OR output MATCHES "(^|\n)[EW]: ")
        fail("lintian (exit ${result}):\n${output}${error}")
    endif()
endif()

report_failures()
