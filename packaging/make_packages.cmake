# Builds the two packages from the program as built: Tessaline-<version>.msi and
# Tessaline-<version>-portable.zip, both holding one folder with the program, the files it looks
# up beside itself and the sample tree.
#
#   cmake -DVERSION=1.0.0 -DPROGRAM=<Tessaline.exe> "-DBESIDE=<file>;<file>" -DSAMPLES=<folder>
#         -DICON=<ico> -DWXS=<tessaline.wxs> -DWORK=<scratch folder> -DOUT=<folder> -P make_packages.cmake
cmake_minimum_required(VERSION 3.25)

foreach(name VERSION PROGRAM SAMPLES ICON WXS WORK OUT)
  if(NOT DEFINED ${name} OR "${${name}}" STREQUAL "")
    message(FATAL_ERROR "make_packages.cmake: ${name} is not given")
  endif()
endforeach()
foreach(path ${PROGRAM} ${BESIDE} ${ICON} ${WXS})
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "make_packages.cmake: ${path} does not exist")
  endif()
endforeach()
if(NOT IS_DIRECTORY "${SAMPLES}")
  message(FATAL_ERROR "make_packages.cmake: ${SAMPLES} is not a folder")
endif()

find_program(WIXL wixl)
find_program(WIXL_HEAT wixl-heat)
if(NOT WIXL OR NOT WIXL_HEAT)
  message(FATAL_ERROR "make_packages.cmake: wixl and wixl-heat are needed (Debian package wixl)")
endif()

# The folder both packages hold, exactly as a user gets it.
set(stage "${WORK}/Tessaline")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}")
file(COPY "${PROGRAM}" ${BESIDE} DESTINATION "${stage}")
file(COPY "${SAMPLES}" DESTINATION "${stage}")
get_filename_component(program_name "${PROGRAM}" NAME)
if(NOT program_name STREQUAL "Tessaline.exe")
  message(FATAL_ERROR "make_packages.cmake: the program must be Tessaline.exe, not ${program_name}")
endif()

# Windows Installer keeps no empty folders; the portable folder would differ from the installed
# one.
file(GLOB_RECURSE staged_dirs LIST_DIRECTORIES true "${stage}/*")
foreach(dir ${staged_dirs})
  if(IS_DIRECTORY "${dir}")
    file(GLOB content "${dir}/*")
    if(NOT content)
      message(FATAL_ERROR "make_packages.cmake: ${dir} is empty; an installer cannot carry it")
    endif()
  endif()
endforeach()

# Every staged file except the program (which the package itself describes, with its shortcut)
# becomes a component of its own.
file(GLOB_RECURSE staged RELATIVE "${stage}" "${stage}/*")
list(REMOVE_ITEM staged "Tessaline.exe")
list(SORT staged)
list(JOIN staged "\n" listing)
file(WRITE "${WORK}/files.txt" "${listing}\n")
execute_process(
  COMMAND "${WIXL_HEAT}" -p "" --directory-ref INSTALLDIR --component-group ProgramFiles
          --var var.SourceDir --win64
  INPUT_FILE "${WORK}/files.txt" OUTPUT_FILE "${WORK}/files.wxs" RESULT_VARIABLE heat_result)
if(NOT heat_result EQUAL 0)
  message(FATAL_ERROR "make_packages.cmake: wixl-heat failed (${heat_result})")
endif()

# wixl finds sources by paths relative to its working folder only: the package description, the
# icon and the staged folder are all placed in the scratch folder.
configure_file("${WXS}" "${WORK}/tessaline.wxs" COPYONLY)
configure_file("${ICON}" "${WORK}/Tessaline.ico" COPYONLY)

file(MAKE_DIRECTORY "${OUT}")
set(msi "${OUT}/Tessaline-${VERSION}.msi")
set(zip "${OUT}/Tessaline-${VERSION}-portable.zip")
file(REMOVE "${msi}" "${zip}")
execute_process(
  COMMAND "${WIXL}" -a x64 -D "Version=${VERSION}" -D SourceDir=Tessaline -D IconFile=Tessaline.ico
          -D Win64=yes -o "${msi}" tessaline.wxs files.wxs
  WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE wixl_result)
if(NOT wixl_result EQUAL 0 OR NOT EXISTS "${msi}")
  message(FATAL_ERROR "make_packages.cmake: wixl failed (${wixl_result})")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${zip}" --format=zip Tessaline
                WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE zip_result)
if(NOT zip_result EQUAL 0)
  message(FATAL_ERROR "make_packages.cmake: the zip could not be written (${zip_result})")
endif()
message(STATUS "Packages: ${msi}, ${zip}")
