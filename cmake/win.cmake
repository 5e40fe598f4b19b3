# Windows build: the Win32 layer, Tessaline.exe with its files beside it, and the Windows
# test programs, run by ctest through wine when cross-compiled. Also builds natively on Windows
# with MinGW-w64 or MSVC.
if(MSVC)
  add_compile_options(/utf-8 /EHsc)
  set(WARNINGS /W4)
else()
  target_compile_options(tessaline_core PRIVATE -municode)
  set(WARNINGS -Wall -Wextra)
endif()
target_compile_definitions(tessaline_core PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)

# The adapters behind the ports.
file(GLOB WIN32_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/win32/*.cpp)
add_library(tessaline_win32 STATIC ${WIN32_SOURCES})
target_link_libraries(tessaline_win32 PUBLIC tessaline_core comctl32 shell32 ole32 oleaut32 uuid
                      gdi32 user32 advapi32 shlwapi bcrypt)
target_compile_options(tessaline_win32 PRIVATE ${WARNINGS})

# The window: its frame and one binding per control kind.
file(GLOB VIEW_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/view/*.cpp)
add_library(tessaline_view STATIC ${VIEW_SOURCES})
target_link_libraries(tessaline_view PUBLIC tessaline_win32)
target_compile_options(tessaline_view PRIVATE ${WARNINGS})
# The resource identifiers shared with the resource script.
target_include_directories(tessaline_view PRIVATE ${CMAKE_SOURCE_DIR}/assets)

add_executable(Tessaline WIN32 ${CMAKE_SOURCE_DIR}/src/app/main.cpp
               ${CMAKE_SOURCE_DIR}/assets/tessaline.rc)
# The version resource takes the project's version, description and copyright line.
set(VERSION_INFO_HEADER ${CMAKE_BINARY_DIR}/generated/version_info.h)
configure_file(${CMAKE_SOURCE_DIR}/assets/version_info.h.in ${VERSION_INFO_HEADER} @ONLY)
target_include_directories(Tessaline PRIVATE ${CMAKE_BINARY_DIR}/generated)
set_source_files_properties(${CMAKE_SOURCE_DIR}/assets/tessaline.rc PROPERTIES
                            OBJECT_DEPENDS ${VERSION_INFO_HEADER})
if(NOT MSVC)
  target_link_options(Tessaline PRIVATE -municode -mwindows)
endif()
target_link_libraries(Tessaline PRIVATE tessaline_view)
set_target_properties(Tessaline PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
# Files the program looks up in its own folder: the hand over push buttons and the pointer of a
# folder-list entry being dragged. They go beside it here and in both packages, which take the
# list from this one place.
set(TESSALINE_BESIDE_PROGRAM ${CMAKE_SOURCE_DIR}/assets/HAND-M.CUR
                             ${CMAKE_SOURCE_DIR}/assets/drag.ico)
foreach(file ${TESSALINE_BESIDE_PROGRAM})
  add_custom_command(TARGET Tessaline POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${file} ${CMAKE_BINARY_DIR})
endforeach()
# The sample tree, copied afresh whenever one of its files changes, so the copy beside the
# program holds exactly what assets/Samples holds.
file(GLOB_RECURSE SAMPLE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/assets/Samples/*)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/Samples.copied
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/Samples
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/assets/Samples
          ${CMAKE_BINARY_DIR}/Samples
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/Samples.copied
  DEPENDS ${SAMPLE_FILES}
  COMMENT "Copying the sample tree beside the program")
add_custom_target(tessaline_samples ALL DEPENDS ${CMAKE_BINARY_DIR}/Samples.copied)
add_dependencies(Tessaline tessaline_samples)

# The MSI and the portable zip (./x dist).
include(${CMAKE_SOURCE_DIR}/cmake/dist.cmake)

# The benchmark's Windows side, driven by bench/run_bench.sh (./x bench).
add_executable(tessaline_bench ${CMAKE_SOURCE_DIR}/bench/copy_bench.cpp)
target_link_libraries(tessaline_bench PRIVATE tessaline_win32 psapi)
if(NOT MSVC)
  target_link_options(tessaline_bench PRIVATE -municode)
endif()

# GoogleTest built with the same toolchain, from its sources.
set(TESSALINE_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest source tree")
if(NOT EXISTS "${TESSALINE_GTEST_SOURCE}/CMakeLists.txt")
  message(STATUS "No GoogleTest sources at ${TESSALINE_GTEST_SOURCE}: Windows tests not built")
  return()
endif()
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${TESSALINE_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# Under Wine one wineserver is kept warm for the whole run, so each test costs milliseconds, and
# one program keeps the virtual desktop up between tests: Wine ends it a moment after the last
# program on it has ended, and a program started in that moment dies of an X error before it
# shows a window.
add_executable(tessaline_desktop_keeper WIN32 ${CMAKE_SOURCE_DIR}/tests/desktop_keeper/desktop_keeper.cpp)
if(NOT MSVC)
  target_link_options(tessaline_desktop_keeper PRIVATE -municode -mwindows)
endif()
set(WINE_FIXTURE "")
if(CMAKE_CROSSCOMPILING)
  add_test(NAME wine.warm_up COMMAND sh -c
    "wineserver -p 60 </dev/null >/dev/null 2>&1; wine cmd /c exit </dev/null >/dev/null 2>&1; \
wine \"$<TARGET_FILE:tessaline_desktop_keeper>\" </dev/null >/dev/null 2>&1 & exit 0")
  set_tests_properties(wine.warm_up PROPERTIES FIXTURES_SETUP wine)
  set(WINE_FIXTURE FIXTURES_REQUIRED wine)
endif()

# The one Windows test-support library: files and trees on disk, window queries across
# processes, and the running program with the fixture base of the end-to-end suites.
file(GLOB WIN_SUPPORT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win_support/*.cpp)
add_library(tessaline_win_support STATIC ${WIN_SUPPORT_SOURCES})
target_include_directories(tessaline_win_support PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(tessaline_win_support PUBLIC tessaline_view gtest)
target_compile_options(tessaline_win_support PRIVATE ${WARNINGS})
# The end-to-end driver starts the program the build made.
target_compile_definitions(tessaline_win_support PRIVATE
                           TESSALINE_EXE="${CMAKE_BINARY_DIR}/Tessaline.exe")

file(GLOB PLATFORM_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/platform/*.cpp
     ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
if(PLATFORM_TEST_SOURCES)
  add_executable(tessaline_platform_tests ${PLATFORM_TEST_SOURCES})
  target_link_libraries(tessaline_platform_tests PRIVATE tessaline_win_support gtest_main)
  set(PLATFORM_DISCOVERY_FILTER "")
  if(CMAKE_CROSSCOMPILING)
    # The tests run as root, and root may list every folder. A folder that refuses listing is
    # tested in a run without the two rights that let root read any folder.
    set(REFUSED_LISTING_TESTS "RefusedListingTest.*")
    set(PLATFORM_DISCOVERY_FILTER TEST_FILTER "-${REFUSED_LISTING_TESTS}")
    # (No ";" in it: CMake would split the command there.)
    set(WITHOUT_ROOT_READ_RIGHTS "[ \"$(id -u)\" != 0 ] && exec \"$@\" || exec setpriv \
--bounding-set=-dac_override,-dac_read_search \"$@\"")
    add_test(NAME platform.walk_without_root_rights
             COMMAND sh -c ${WITHOUT_ROOT_READ_RIGHTS} sh wine
                     $<TARGET_FILE:tessaline_platform_tests>
                     --gtest_filter=${REFUSED_LISTING_TESTS})
    # It passes only when its one test ran and passed: skipped would mean the run could still
    # read every folder.
    set_tests_properties(platform.walk_without_root_rights PROPERTIES ${WINE_FIXTURE}
                         PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] 1 test\\."
                         FAIL_REGULAR_EXPRESSION "\\[  (SKIPPED|FAILED) \\]")
  endif()
  gtest_discover_tests(tessaline_platform_tests DISCOVERY_MODE PRE_TEST TEST_PREFIX "platform."
                       ${PLATFORM_DISCOVERY_FILTER} PROPERTIES ${WINE_FIXTURE}
                       DISCOVERY_TIMEOUT 60)
endif()

file(GLOB E2E_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
if(E2E_TEST_SOURCES)
  # A program that only leaves a marker beside itself: the end-to-end tests put copies named
  # like the helper programs where a lookup by bare name would find them.
  add_executable(tessaline_stand_in ${CMAKE_SOURCE_DIR}/tests/stand_in/stand_in.cpp)
  if(NOT MSVC)
    target_link_options(tessaline_stand_in PRIVATE -municode)
  endif()
  add_executable(tessaline_e2e_tests ${E2E_TEST_SOURCES})
  target_link_libraries(tessaline_e2e_tests PRIVATE tessaline_win_support gtest_main)
  target_compile_definitions(tessaline_e2e_tests PRIVATE
                             TESSALINE_STAND_IN="$<TARGET_FILE:tessaline_stand_in>")
  add_dependencies(tessaline_e2e_tests Tessaline tessaline_stand_in)
  if(CMAKE_CROSSCOMPILING)
    # Small real drives that fill up, refuse writes or stand empty (root only; see the script).
    set(FAULT_DRIVES ${CMAKE_BINARY_DIR}/fault_drives)
    set(FAULT_SCRIPT ${CMAKE_SOURCE_DIR}/tests/faults/fault_drives.sh)
    add_test(NAME faults.drives_up COMMAND bash ${FAULT_SCRIPT} setup ${FAULT_DRIVES})
    add_test(NAME faults.drives_down COMMAND bash ${FAULT_SCRIPT} cleanup ${FAULT_DRIVES})
    # Part of the Wine fixture that every Windows test requires; the tests find the script's
    # state file beside the program.
    set_tests_properties(faults.drives_up PROPERTIES FIXTURES_SETUP wine)
    set_tests_properties(faults.drives_down PROPERTIES FIXTURES_CLEANUP wine)
    # The program killed outright in the middle of timed overwrite runs.
    add_test(NAME faults.kill_during_run COMMAND bash
             ${CMAKE_SOURCE_DIR}/tests/faults/kill_during_run.sh ${CMAKE_BINARY_DIR}/Tessaline.exe
             ${CMAKE_BINARY_DIR}/kill_during_run)
    set_tests_properties(faults.kill_during_run PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE
                         TIMEOUT 1200)
    # The program killed outright in the middle of first copies, which write under final names.
    add_test(NAME faults.kill_during_first_copy COMMAND bash
             ${CMAKE_SOURCE_DIR}/tests/faults/kill_during_first_copy.sh
             ${CMAKE_BINARY_DIR}/Tessaline.exe ${CMAKE_BINARY_DIR}/kill_during_first_copy)
    set_tests_properties(faults.kill_during_first_copy PROPERTIES FIXTURES_REQUIRED wine
                         RUN_SERIAL TRUE TIMEOUT 1200)
    # The program killed outright in the middle of timed runs that link to the last backup.
    add_test(NAME faults.kill_during_linking COMMAND bash
             ${CMAKE_SOURCE_DIR}/tests/faults/kill_during_linking.sh
             ${CMAKE_BINARY_DIR}/Tessaline.exe ${CMAKE_BINARY_DIR}/kill_during_linking)
    set_tests_properties(faults.kill_during_linking PROPERTIES FIXTURES_REQUIRED wine
                         RUN_SERIAL TRUE TIMEOUT 900)
    # The program killed outright while a run removes older dated backup folders.
    add_test(NAME faults.kill_during_thinning COMMAND bash
             ${CMAKE_SOURCE_DIR}/tests/faults/kill_during_thinning.sh
             ${CMAKE_BINARY_DIR}/Tessaline.exe ${CMAKE_BINARY_DIR}/kill_during_thinning)
    set_tests_properties(faults.kill_during_thinning PROPERTIES FIXTURES_REQUIRED wine
                         RUN_SERIAL TRUE TIMEOUT 900)
    # The program killed outright while a run writes a damaged backup copy again in place.
    add_test(NAME faults.kill_during_repair COMMAND bash
             ${CMAKE_SOURCE_DIR}/tests/faults/kill_during_repair.sh
             ${CMAKE_BINARY_DIR}/Tessaline.exe ${CMAKE_BINARY_DIR}/kill_during_repair)
    set_tests_properties(faults.kill_during_repair PROPERTIES FIXTURES_REQUIRED wine
                         RUN_SERIAL TRUE TIMEOUT 600)
    # An older folder that holds links to places outside the destination, removed by a run.
    add_test(NAME faults.links_in_old_folders COMMAND bash
             ${CMAKE_SOURCE_DIR}/tests/faults/links_in_old_folders.sh
             ${CMAKE_BINARY_DIR}/Tessaline.exe ${CMAKE_BINARY_DIR}/links_in_old_folders)
    set_tests_properties(faults.links_in_old_folders PROPERTIES FIXTURES_REQUIRED wine
                         RUN_SERIAL TRUE TIMEOUT 300)
    # Keeping fewer on the day the clocks go forward, in a made-up time zone.
    add_test(NAME faults.clocks_go_forward COMMAND bash
             ${CMAKE_SOURCE_DIR}/tests/faults/clocks_go_forward.sh
             ${CMAKE_BINARY_DIR}/Tessaline.exe ${CMAKE_BINARY_DIR}/clocks_go_forward)
    set_tests_properties(faults.clocks_go_forward PROPERTIES FIXTURES_REQUIRED wine
                         RUN_SERIAL TRUE TIMEOUT 300 SKIP_RETURN_CODE 77)
    # Stamped runs onto a drive that refuses links (exFAT): every file copied instead.
    add_test(NAME faults.links_refused COMMAND bash
             ${CMAKE_SOURCE_DIR}/tests/faults/links_refused.sh
             ${CMAKE_BINARY_DIR}/Tessaline.exe ${CMAKE_BINARY_DIR}/links_refused)
    set_tests_properties(faults.links_refused PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE
                         TIMEOUT 300 SKIP_RETURN_CODE 77)
    string(REPLACE "/" "\\" FAULT_STATE_WINDOWS "Z:${FAULT_DRIVES}/state.txt")
    set(E2E_ENVIRONMENT ENVIRONMENT "TESSALINE_FAULT_DRIVES_STATE=${FAULT_STATE_WINDOWS}")
  endif()
  gtest_discover_tests(tessaline_e2e_tests DISCOVERY_MODE PRE_TEST TEST_PREFIX "e2e."
                       PROPERTIES ${WINE_FIXTURE} RUN_SERIAL TRUE TIMEOUT 180
                       DISCOVERY_TIMEOUT 60)
endif()

# The packages on a machine that has never seen the program: a Wine prefix of their own, made
# once per run, in which the tests install, start, upgrade and uninstall the MSI and run the
# unpacked zip. The build's packages are made afresh first, and a newer version beside them.
file(GLOB PACKAGE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/package/*.cpp)
if(PACKAGE_TEST_SOURCES)
  string(REGEX MATCH "^([0-9]+\\.[0-9]+)\\.([0-9]+)$" _ ${PROJECT_VERSION})
  math(EXPR NEWER_PATCH "${CMAKE_MATCH_2} + 1")
  set(NEWER_VERSION ${CMAKE_MATCH_1}.${NEWER_PATCH})
  set(PACKAGE_TEST_DIR ${CMAKE_BINARY_DIR}/package-tests)
  set(PACKAGE_PREFIX ${PACKAGE_TEST_DIR}/prefix)
  list(JOIN TESSALINE_BESIDE_PROGRAM "|" BESIDE_TEXT)

  add_executable(tessaline_package_tests ${PACKAGE_TEST_SOURCES})
  target_link_libraries(tessaline_package_tests PRIVATE tessaline_win_support gtest_main msi
                        version)
  target_include_directories(tessaline_package_tests PRIVATE ${CMAKE_SOURCE_DIR}/assets)
  target_compile_options(tessaline_package_tests PRIVATE ${WARNINGS})
  target_compile_definitions(tessaline_package_tests PRIVATE
    TESSALINE_VERSION="${PROJECT_VERSION}" TESSALINE_NEWER_VERSION="${NEWER_VERSION}"
    TESSALINE_DESCRIPTION="${PROJECT_DESCRIPTION}"
    TESSALINE_MSI="${TESSALINE_DIST_DIR}/Tessaline-${PROJECT_VERSION}.msi"
    TESSALINE_ZIP="${TESSALINE_DIST_DIR}/Tessaline-${PROJECT_VERSION}-portable.zip"
    TESSALINE_NEWER_MSI="${PACKAGE_TEST_DIR}/newer/Tessaline-${NEWER_VERSION}.msi"
    TESSALINE_BUILT_PROGRAM="$<TARGET_FILE:Tessaline>"
    TESSALINE_PACKAGED_FILES="$<TARGET_FILE:Tessaline>|${BESIDE_TEXT}"
    TESSALINE_SAMPLES="${CMAKE_SOURCE_DIR}/assets/Samples"
    TESSALINE_ICON="${CMAKE_SOURCE_DIR}/assets/Tessaline.ico")
  add_dependencies(tessaline_package_tests Tessaline)

  if(CMAKE_CROSSCOMPILING)
    set(FRESH_PREFIX ${CMAKE_SOURCE_DIR}/tests/package/fresh_prefix.sh)
    add_test(NAME package.prefix_up COMMAND bash ${FRESH_PREFIX} up ${PACKAGE_PREFIX})
    add_test(NAME package.make COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target dist)
    tessaline_packaging_command(NEWER_COMMAND ${NEWER_VERSION} ${PACKAGE_TEST_DIR}/newer-work
                                ${PACKAGE_TEST_DIR}/newer)
    add_test(NAME package.make_newer COMMAND ${NEWER_COMMAND})
    add_test(NAME package.prefix_down COMMAND bash ${FRESH_PREFIX} down ${PACKAGE_PREFIX})
    set_tests_properties(package.prefix_up package.make package.make_newer PROPERTIES
                         FIXTURES_SETUP package TIMEOUT 300)
    set_tests_properties(package.make_newer PROPERTIES DEPENDS package.make)
    set_tests_properties(package.prefix_down PROPERTIES FIXTURES_CLEANUP package)
    set(PACKAGE_ENVIRONMENT ENVIRONMENT "WINEPREFIX=${PACKAGE_PREFIX}")
  endif()
  gtest_discover_tests(tessaline_package_tests DISCOVERY_MODE PRE_TEST TEST_PREFIX "package."
                       PROPERTIES FIXTURES_REQUIRED package ${PACKAGE_ENVIRONMENT}
                       RUN_SERIAL TRUE TIMEOUT 600 DISCOVERY_TIMEOUT 60)
endif()
