# The packages a Windows user installs from: build/dist/Tessaline-<version>.msi and
# build/dist/Tessaline-<version>-portable.zip, made by packaging/make_packages.cmake from the
# program as built, the files beside it and the sample tree (wixl from the Debian package wixl).
set(TESSALINE_DIST_DIR ${CMAKE_SOURCE_DIR}/build/dist CACHE PATH "Where the packages are written")

# The command that makes both packages of the given version in out_dir, using work_dir for
# scratch; the tests make a newer one with the same command.
function(tessaline_packaging_command result version work_dir out_dir)
  # One argument even with several files: the separator is put in only when the command runs.
  list(JOIN TESSALINE_BESIDE_PROGRAM "$<SEMICOLON>" beside)
  set(${result}
      ${CMAKE_COMMAND} -DVERSION=${version} -DPROGRAM=$<TARGET_FILE:Tessaline>
      -DBESIDE=${beside} -DSAMPLES=${CMAKE_SOURCE_DIR}/assets/Samples
      -DICON=${CMAKE_SOURCE_DIR}/assets/Tessaline.ico
      -DWXS=${CMAKE_SOURCE_DIR}/packaging/tessaline.wxs -DWORK=${work_dir} -DOUT=${out_dir}
      -P ${CMAKE_SOURCE_DIR}/packaging/make_packages.cmake
      PARENT_SCOPE)
endfunction()

tessaline_packaging_command(DIST_COMMAND ${PROJECT_VERSION} ${CMAKE_BINARY_DIR}/dist-work
                            ${TESSALINE_DIST_DIR})
add_custom_target(dist COMMAND ${DIST_COMMAND} DEPENDS Tessaline tessaline_samples
                  COMMENT "Making the MSI and the portable zip in ${TESSALINE_DIST_DIR}" VERBATIM)
