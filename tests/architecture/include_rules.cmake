# The source tree's include rules, checked as a test. Includes go downward only:
#   base/      includes only base/
#   controls/  base/ and controls/
#   platform/  (the service interfaces) base/ and platform/
#   backup/ schedule/ folders/ history/ options/ tray/ appearance/ (the subsystems)
#              base/, controls/, platform/ and one another, never shell/ (the window front)
#   shell/     anything but platform/win32/
# and only platform/win32/ includes <windows.h>, in any spelling.
#
#   cmake -DSOURCE_DIR=<src folder> -P include_rules.cmake
# prints every broken rule and fails when there is one.
cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<src folder> -P include_rules.cmake")
endif()

set(subsystems backup schedule folders history options tray appearance)
set(allowed_base base)
set(allowed_controls base controls)
set(allowed_platform base platform)
foreach(subsystem IN LISTS subsystems)
  set(allowed_${subsystem} base controls platform ${subsystems})
endforeach()
set(allowed_shell base controls platform ${subsystems} shell)

# The part of the tree a path (relative to the source folder) belongs to.
function(part_of path out)
  if(path MATCHES "^platform/win32/")
    set(${out} win32 PARENT_SCOPE)
  elseif(path MATCHES "^([^/]+)/")
    set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

set(broken 0)
file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
foreach(file IN LISTS files)
  part_of(${file} part)
  file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS lines)
    string(TOLOWER "${line}" lower)
    if(NOT part STREQUAL "win32" AND lower MATCHES "include[ \t]*[<\"]windows\\.h[>\"]")
      message("${file}: <windows.h> belongs in platform/win32/ only: ${line}")
      math(EXPR broken "${broken} + 1")
    endif()
    if(part STREQUAL "win32" OR NOT DEFINED allowed_${part})
      continue()
    endif()
    if(NOT line MATCHES "\"([^\"]+)\"")
      continue()  # a system header
    endif()
    set(included ${CMAKE_MATCH_1})
    part_of(${included} target)
    if(NOT target IN_LIST allowed_${part})
      message("${file}: ${part}/ must not include ${included}")
      math(EXPR broken "${broken} + 1")
    endif()
  endforeach()
endforeach()

list(LENGTH files checked)
if(broken GREATER 0)
  message(FATAL_ERROR "${broken} include(s) break the layering (${checked} files checked)")
endif()
message(STATUS "include rules hold in ${checked} files")
