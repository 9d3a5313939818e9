# Two builds of the same sources in different folders give the same bytes:
#
# - no folder names in the objects: __FILE__ and the debug information name
#   every file relative to the build folder ("../app/main.cpp" for a source,
#   "app/zeltrak_autogen/..." for a generated file, "." for the folder the
#   compiler ran in). That is the form in which a compiler cache with a base
#   folder (ccache's base_dir) hands the compiler its paths, so a build
#   through such a cache and one without it give the same objects, as do
#   builds in other folders with the build folder placed alike;
# - one timestamp for everything the build stamps: SOURCE_DATE_EPOCH, taken
#   from the environment when set, otherwise from the date of the newest
#   entry in packaging/changelog (the Debian convention). rcc stamps each
#   resource with it instead of the file's time, CPack stamps the package's
#   files with it (packaging/cpack-project-config.cmake), and the metainfo's
#   release date comes from the same entry.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    # The compiler tries the later map first; the build folder usually sits
    # in the sources.
    file(RELATIVE_PATH source_from_build ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR})
    # "../" for a parent folder but "../../src" for others: one form.
    string(REGEX REPLACE "/$" "" source_from_build "${source_from_build}")
    if(source_from_build)
        add_compile_options("-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=${source_from_build}/")
    endif()
    add_compile_options(
        "-ffile-prefix-map=${PROJECT_BINARY_DIR}=."
        "-ffile-prefix-map=${PROJECT_BINARY_DIR}/=")
endif()

set(ZELTRAK_CHANGELOG ${PROJECT_SOURCE_DIR}/packaging/changelog)
file(STRINGS ${ZELTRAK_CHANGELOG} changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^zeltrak \\(([^)]+)\\)")
    message(FATAL_ERROR "packaging/changelog does not start with a 'zeltrak (VERSION)' line")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "packaging/changelog starts with version ${CMAKE_MATCH_1}, "
        "the project is ${PROJECT_VERSION}: add an entry for the new version")
endif()

# The newest entry's date, read by Debian's own parser where there is one.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(ZELTRAK_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
    find_program(DPKG_PARSECHANGELOG dpkg-parsechangelog)
    if(DPKG_PARSECHANGELOG)
        execute_process(COMMAND ${DPKG_PARSECHANGELOG} -l ${ZELTRAK_CHANGELOG} -S Timestamp
            OUTPUT_VARIABLE ZELTRAK_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
            COMMAND_ERROR_IS_FATAL ANY)
    endif()
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ZELTRAK_CHANGELOG})

if(ZELTRAK_SOURCE_DATE_EPOCH)
    # Every custom command (rcc among them) runs with the fixed date.
    set_property(GLOBAL PROPERTY RULE_LAUNCH_CUSTOM
        "${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${ZELTRAK_SOURCE_DATE_EPOCH}")
    set(saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
    set(ENV{SOURCE_DATE_EPOCH} ${ZELTRAK_SOURCE_DATE_EPOCH})
    string(TIMESTAMP ZELTRAK_RELEASE_DATE "%Y-%m-%d" UTC)
    set(ENV{SOURCE_DATE_EPOCH} "${saved_epoch}")
else()
    message(WARNING "No dpkg-parsechangelog and no SOURCE_DATE_EPOCH: "
        "the build stamps resources with today's date")
    string(TIMESTAMP ZELTRAK_RELEASE_DATE "%Y-%m-%d" UTC)
endif()
