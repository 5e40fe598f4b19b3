# libFuzzer build (clang): the core instrumented for coverage, one fuzzer per target.
set(FUZZ_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
target_compile_options(tessaline_core PRIVATE -fsanitize=fuzzer-no-link ${FUZZ_SANITIZE})

file(GLOB FUZZ_TARGETS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
foreach(target_source ${FUZZ_TARGETS})
  get_filename_component(name ${target_source} NAME_WE)
  add_executable(${name} ${target_source} ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_input.cpp)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer ${FUZZ_SANITIZE})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer ${FUZZ_SANITIZE})
  target_link_libraries(${name} PRIVATE tessaline_core)
endforeach()
