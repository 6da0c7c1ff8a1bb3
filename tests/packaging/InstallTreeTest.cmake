# Installs the build tree into a fresh prefix and checks it: every file of the
# desktop install is there, the desktop entry and the AppStream metainfo pass
# their validators, and the versions and names in the installed files, the
# program, the project and the CPack configuration all agree with the version
# record.
#
# cmake -DBUILD_DIR=... -DPREFIX=... -DRECORD=.../Version.h -DAPP_ID=...
#       -DSUMMARY=... -DMAINTAINER=... -DICON_SIZES=16,32,...
#       -P InstallTreeTest.cmake

include(${CMAKE_CURRENT_LIST_DIR}/PackagingTestSupport.cmake)
read_version_record("${RECORD}")

# The record agrees with itself: the numeric versions and their texts, and
# the product version names the release that the file version belongs to.
check("VER_FILEVERSION against VER_FILEVERSION_STR" "${REC_FILEVERSION_NUMBERS}"
      "${REC_FILEVERSION}")
check("VER_PRODUCTVERSION against VER_FILEVERSION" "${REC_PRODUCTVERSION_NUMBERS}"
      "${REC_FILEVERSION_NUMBERS}")
string(FIND "${REC_FILEVERSION}." "${REC_PRODUCTVERSION}." product_at)
check("VER_PRODUCTVERSION_STR as the start of the file version" "${product_at}" "0")

file(REMOVE_RECURSE "${PREFIX}")
run(install_log ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}")

set(binary "${PREFIX}/bin/${REC_ORIGINALFILENAME}")
set(desktop "${PREFIX}/share/applications/${APP_ID}.desktop")
set(metainfo "${PREFIX}/share/metainfo/${APP_ID}.metainfo.xml")
set(copyright "${PREFIX}/share/doc/${REC_INTERNALNAME}/copyright")
set(changelog "${PREFIX}/share/doc/${REC_INTERNALNAME}/changelog.gz")
set(manual "${PREFIX}/share/man/man1/${REC_ORIGINALFILENAME}.1.gz")
foreach(file IN ITEMS "${binary}" "${desktop}" "${metainfo}" "${copyright}" "${changelog}"
                      "${manual}")
    if(NOT EXISTS "${file}")
        message(FATAL_ERROR "Not installed: ${file}\n${install_log}")
    endif()
endforeach()

run(binary_kind file -b "${binary}")
if(NOT binary_kind MATCHES "^ELF .* executable")
    fail("${binary} is not an executable program: ${binary_kind}")
endif()

# The icon theme has the icon at every size the build makes: the small ones
# menus ask for and the large ones that launchers and software centres show.
string(REPLACE "," ";" icon_sizes "${ICON_SIZES}")
foreach(size IN LISTS icon_sizes)
    set(png "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png")
    if(NOT EXISTS "${png}")
        fail("Not installed: ${png}")
        continue()
    endif()
    run(png_kind file -b "${png}")
    if(NOT png_kind MATCHES "^PNG image data, ${size} x ${size},")
        fail("${png} is not a ${size} x ${size} PNG image: ${png_kind}")
    endif()
endforeach()

# Validators: the desktop entry must draw no remark at all, not even a hint.
# AppStream's pedantic remarks are allowed, since the reverse-DNS id keeps the
# product name's capital letter; errors, warnings and infos are not.
execute_process(COMMAND desktop-file-validate "${desktop}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error)
if(NOT result STREQUAL "0" OR NOT "${output}${error}" STREQUAL "")
    fail("desktop-file-validate (exit ${result}):\n${output}${error}")
endif()
execute_process(COMMAND appstreamcli validate-tree --no-net --pedantic "${PREFIX}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error)
if(NOT result STREQUAL "0" OR "${output}${error}" MATCHES "(^|\n) *[EWI]: ")
    fail("appstreamcli validate-tree (exit ${result}):\n${output}${error}")
endif()

# The desktop entry names the program, starts the installed binary with the
# file it is given, offers it for images and C source, and shows the
# installed icon.
desktop_value(name "${desktop}" Name)
check("desktop entry Name" "${name}" "${REC_PRODUCTNAME}")
desktop_value(exec "${desktop}" Exec)
check("desktop entry Exec" "${exec}" "${REC_ORIGINALFILENAME} %f")
desktop_value(mime_types "${desktop}" MimeType)
foreach(type IN ITEMS image/png text/x-chdr text/x-csrc text/x-c++hdr text/x-c++src)
    string(FIND ";${mime_types}" ";${type};" at)
    if(at EQUAL -1)
        fail("desktop entry MimeType lacks ${type}: ${mime_types}")
    endif()
endforeach()
desktop_value(icon "${desktop}" Icon)
check("desktop entry Icon" "${icon}" "${APP_ID}")

# The metainfo: its one release is the product version.
file(READ "${metainfo}" xml)
foreach(element IN ITEMS id name developer_name)
    string(REGEX MATCH "<${element}>([^<]*)</${element}>" _ "${xml}")
    set(metainfo_${element} "${CMAKE_MATCH_1}")
endforeach()
check("metainfo id" "${metainfo_id}" "${APP_ID}")
check("metainfo name" "${metainfo_name}" "${REC_PRODUCTNAME}")
check("metainfo developer_name" "${metainfo_developer_name}" "${REC_COMPANYNAME}")
string(REGEX MATCH "<launchable type=\"desktop-id\">([^<]*)</launchable>" _ "${xml}")
check("metainfo launchable" "${CMAKE_MATCH_1}" "${APP_ID}.desktop")
string(REGEX MATCHALL "<release [^>]*>" releases "${xml}")
list(LENGTH releases release_count)
check("metainfo release count" "${release_count}" "1")
string(REGEX MATCH "version=\"([^\"]*)\"" _ "${releases}")
check("metainfo release version" "${CMAKE_MATCH_1}" "${REC_PRODUCTVERSION}")

# The changelog's newest entry is this build's version, signed by the
# maintainer; the manual page names the product version.
run(changelog_text gzip -dc "${changelog}")
string(REGEX MATCH "^[^\n]*" changelog_head "${changelog_text}")
check("changelog's first line" "${changelog_head}"
      "${REC_INTERNALNAME} (${REC_FILEVERSION}) unstable; urgency=medium")
regex_escape(maintainer_pattern "${MAINTAINER}")
if(NOT changelog_text MATCHES "\n -- ${maintainer_pattern}  [A-Z][a-z][a-z], [0-9][0-9] ")
    fail("The changelog's first entry is not signed by ${MAINTAINER}:\n${changelog_text}")
endif()
run(manual_text gzip -dc "${manual}")
string(REGEX MATCH "\n\\.TH [^\n]*" manual_title "${manual_text}")
regex_escape(source_pattern "\"${REC_PRODUCTNAME} ${REC_PRODUCTVERSION}\"")
if(NOT manual_title MATCHES " ${source_pattern} ")
    fail("The manual page's title line does not name ${REC_PRODUCTNAME} ${REC_PRODUCTVERSION}: ${manual_title}")
endif()

# The program carries the record: the About box's first line names the product
# version, and the file version is compiled in.
set(about_line "${REC_COMPANYNAME} ${REC_PRODUCTNAME} Version ${REC_PRODUCTVERSION} ")
regex_escape(about_pattern "${about_line}")
file(STRINGS "${binary}" about_hits LIMIT_COUNT 1 REGEX "^${about_pattern}$")
if(about_hits STREQUAL "")
    fail("${binary} holds no About line \"${about_line}\"")
endif()
regex_escape(file_version_pattern "${REC_FILEVERSION}")
file(STRINGS "${binary}" file_version_hits LIMIT_COUNT 1 REGEX "^${file_version_pattern}$")
if(file_version_hits STREQUAL "")
    fail("${binary} holds no file version \"${REC_FILEVERSION}\"")
endif()

# The build: the project version and what CPack will package.
file(STRINGS "${BUILD_DIR}/CMakeCache.txt" project_version REGEX "^CMAKE_PROJECT_VERSION:")
string(REGEX REPLACE "^[^=]*=" "" project_version "${project_version}")
check("CMake project version" "${project_version}" "${REC_FILEVERSION}")
include("${BUILD_DIR}/CPackConfig.cmake")
check("CPACK_PACKAGE_NAME" "${CPACK_PACKAGE_NAME}" "${REC_INTERNALNAME}")
check("CPACK_PACKAGE_VERSION" "${CPACK_PACKAGE_VERSION}" "${REC_FILEVERSION}")
check("CPACK_PACKAGE_VENDOR" "${CPACK_PACKAGE_VENDOR}" "${REC_COMPANYNAME}")
check("CPACK_PACKAGE_DESCRIPTION_SUMMARY" "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}" "${SUMMARY}")
check("CPACK_DEBIAN_PACKAGE_MAINTAINER" "${CPACK_DEBIAN_PACKAGE_MAINTAINER}" "${MAINTAINER}")

report_failures()
