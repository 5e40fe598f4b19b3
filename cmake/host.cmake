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
