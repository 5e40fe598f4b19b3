# Proves the include-rule check can fail: a small tree that breaks each rule once must be
# refused, with every broken include named.
#   cmake -DCHECK=<include_rules.cmake> -DWORK_DIR=<scratch folder> -P include_rules_selftest.cmake
cmake_minimum_required(VERSION 3.25)

set(tree ${WORK_DIR}/include_rules_tree)
file(REMOVE_RECURSE ${tree})
file(WRITE ${tree}/base/text.h "#include <string>\n#include \"base/other.h\"\n")
file(WRITE ${tree}/base/bad.cpp "#include \"ports/clock.h\"\n")
file(WRITE ${tree}/folders/bad.cpp "#include \"controls/controls.h\"\n#include \"shell/main_form.h\"\n")
file(WRITE ${tree}/tray/bad.h "  #  include <Windows.h>\n")
file(WRITE ${tree}/view/fine.cpp "#include <windows.h>\n#include \"shell/main_form.h\"\n#include \"resource_ids.h\"\n")
file(WRITE ${tree}/win32/bad.cpp "#include <windows.h>\n#include \"folders/drop_rules.h\"\n")
file(WRITE ${tree}/app/fine.cpp "#include \"view/main_window.h\"\n")
file(WRITE ${tree}/stray/bad.cpp "#include <string>\n")
file(WRITE ${tree}/shell/bad.cpp "#include \"win32/text.h\"\n")
file(WRITE ${tree}/copy/bad.cpp "#include \"copy/copy_tally.h\"\n#include \"backup/thinning.h\"\n")

execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree} -P ${CHECK}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(report "${out}${err}")
if(result EQUAL 0)
  message(FATAL_ERROR "the check passed a tree that breaks its rules:\n${report}")
endif()
foreach(expected "base/bad.cpp: base/ must not include ports/clock.h"
                 "folders/bad.cpp: folders/ must not include shell/main_form.h"
                 "tray/bad.h: <windows.h> belongs in win32/, view/ and app/ only"
                 "shell/bad.cpp: shell/ must not include win32/text.h"
                 "win32/bad.cpp: win32/ must not include folders/drop_rules.h"
                 "stray/bad.cpp: stray/ has no place in the layering"
                 "copy/bad.cpp: copy/ must not include backup/thinning.h"
                 "7 include(s) break the layering")
  string(FIND "${report}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the check did not report \"${expected}\":\n${report}")
  endif()
endforeach()
message(STATUS "the include-rule check refuses each kind of broken include")
