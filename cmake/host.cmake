# Linux host build: the core and its unit tests, with AddressSanitizer and UBSan.
set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
target_compile_options(tessaline_core PRIVATE ${SANITIZE})
target_link_options(tessaline_core PUBLIC ${SANITIZE})

find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB UNIT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp
     ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
add_executable(tessaline_unit_tests ${UNIT_SOURCES})
target_include_directories(tessaline_unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_compile_options(tessaline_unit_tests PRIVATE ${SANITIZE})
target_link_libraries(tessaline_unit_tests PRIVATE tessaline_core GTest::gtest GTest::gtest_main)
gtest_discover_tests(tessaline_unit_tests DISCOVERY_MODE PRE_TEST TEST_PREFIX "unit.")

# Every input the fuzzers kept, replayed as a regression test without libFuzzer.
file(GLOB FUZZ_TARGETS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
foreach(target_source ${FUZZ_TARGETS})
  get_filename_component(name ${target_source} NAME_WE)
  add_executable(${name}_replay ${target_source} ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_input.cpp
                 ${CMAKE_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
  target_include_directories(${name}_replay PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_options(${name}_replay PRIVATE ${SANITIZE})
  target_link_libraries(${name}_replay PRIVATE tessaline_core)
  add_test(NAME fuzz.replay.${name} COMMAND ${name}_replay ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name})
endforeach()

# The include rules of the source tree, and proof that their check refuses a broken tree.
set(INCLUDE_RULES ${CMAKE_SOURCE_DIR}/tests/architecture/include_rules.cmake)
add_test(NAME architecture.include_rules
         COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}/src -P ${INCLUDE_RULES})
add_test(NAME architecture.include_rules_refuse_a_broken_tree
         COMMAND ${CMAKE_COMMAND} -DCHECK=${INCLUDE_RULES} -DWORK_DIR=${CMAKE_BINARY_DIR}
                 -P ${CMAKE_SOURCE_DIR}/tests/architecture/include_rules_selftest.cmake)
