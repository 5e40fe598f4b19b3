# The source tree's include rules, checked as a test. Every folder under src/ has a place, and
# includes go downward only:
#   base/      includes only base/
#   ports/     (the interfaces of outside services) base/ and ports/
#   controls/  base/ and controls/
#   copy/      (the copy core, knowing nothing of runs) base/, ports/ and copy/
#   backup/ schedule/ folders/ history/ options/ tray/ appearance/ (the subsystems)
#              base/, controls/, ports/, copy/ and one another, never shell/ (the window front)
#   shell/     base/, controls/, ports/, copy/, the subsystems and shell/
#   win32/     (the adapters behind the ports) base/, ports/ and win32/, nothing of the features
#   view/      (the window) anything but app/
#   app/       anything
# and only win32/, view/ and app/ include <windows.h>, in any spelling. A folder the rules do
# not know is itself a broken rule, so a new folder cannot slip past them.
#
#   cmake -DSOURCE_DIR=<src folder> -P include_rules.cmake
# prints every broken rule and fails when there is one.
cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<src folder> -P include_rules.cmake")
endif()

set(subsystems backup schedule folders history options tray appearance)
set(allowed_base base)
set(allowed_ports base ports)
set(allowed_controls base controls)
set(allowed_copy base ports copy)
foreach(subsystem IN LISTS subsystems)
  set(allowed_${subsystem} base controls ports copy ${subsystems})
endforeach()
set(allowed_shell base controls ports copy ${subsystems} shell)
set(allowed_win32 base ports win32)
set(allowed_view base controls ports copy ${subsystems} shell win32 view)
set(allowed_app base controls ports copy ${subsystems} shell win32 view app)
set(windows_parts win32 view app)

# The part of the tree a path (relative to the source folder) belongs to.
function(part_of path out)
  if(path MATCHES "^([^/]+)/")
    set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

set(broken 0)
file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
foreach(file IN LISTS files)
  part_of(${file} part)
  if(NOT DEFINED allowed_${part})
    message("${file}: ${part}/ has no place in the layering")
    math(EXPR broken "${broken} + 1")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS lines)
    string(TOLOWER "${line}" lower)
    if(NOT part IN_LIST windows_parts AND lower MATCHES "include[ \t]*[<\"]windows\\.h[>\"]")
      message("${file}: <windows.h> belongs in win32/, view/ and app/ only: ${line}")
      math(EXPR broken "${broken} + 1")
    endif()
    if(NOT line MATCHES "\"([^\"]+)\"")
      continue()  # a system header
    endif()
    set(included ${CMAKE_MATCH_1})
    part_of(${included} target)
    # A header of the build's own (resource ids, version info) sits beside no folder of src/.
    if(target STREQUAL "" AND part IN_LIST windows_parts)
      continue()
    endif()
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
