# The stage: a runnable copy of the install tree inside the build folder.
#
# Every program, library and data file lands in ${KAVRO_STAGE_DIR} in the same
# folder it gets under the install prefix, so a build folder can run the
# programs, the demo and the tests without installing:
#
#   ${KAVRO_STAGE_DIR}/KavroQ350              launcher
#   ${KAVRO_STAGE_DIR}/Q350/...               Q350Config and its data
#   ${KAVRO_STAGE_DIR}/Q350RGB/...            Lumera and its data
#   ${KAVRO_STAGE_DIR}/bin/...                kavroctl, kbsim
#   ${KAVRO_STAGE_DIR}/share/...              icons (the .desktop files are
#                                             written at install time only)
#
# Data is staged by the target `kavro_data` (data/CMakeLists.txt); programs
# use kavro_stage_target() so that they sit beside their data.
set(KAVRO_STAGE_DIR "${CMAKE_BINARY_DIR}/stage" CACHE PATH
    "Build-tree copy of the install layout (programs beside their data)")
set(KAVRO_STAGE_Q350 "${KAVRO_STAGE_DIR}/${KAVRO_INSTALL_Q350}")
set(KAVRO_STAGE_Q350RGB "${KAVRO_STAGE_DIR}/${KAVRO_INSTALL_Q350RGB}")
set(KAVRO_STAGE_BIN "${KAVRO_STAGE_DIR}/${KAVRO_INSTALL_BIN}")

# kavro_stage_target(<target> <folder> [COMPONENT <name>])
#   Puts an executable or shared library into ${KAVRO_STAGE_DIR}/<folder> and
#   installs it into <prefix>/<folder>. <folder> is "." for the tree's root
#   (the launcher), Q350, Q350RGB or bin. Building the target also stages the
#   shipped data, so a freshly built program finds its skins and texts.
function(kavro_stage_target target folder)
  cmake_parse_arguments(S "" "COMPONENT" "" ${ARGN})
  if(NOT S_COMPONENT)
    set(S_COMPONENT programs)
  endif()
  if(folder STREQUAL ".")
    set(dir "${KAVRO_STAGE_DIR}")
    set(dest ".")
  else()
    set(dir "${KAVRO_STAGE_DIR}/${folder}")
    set(dest "${folder}")
  endif()
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY "${dir}"
    LIBRARY_OUTPUT_DIRECTORY "${dir}")
  install(TARGETS ${target}
    RUNTIME DESTINATION "${dest}" COMPONENT ${S_COMPONENT}
    LIBRARY DESTINATION "${dest}" COMPONENT ${S_COMPONENT})
  # kavro_data is defined later (data/ is added after the programs); CMake
  # resolves the dependency when it generates the build.
  if(EXISTS "${PROJECT_SOURCE_DIR}/data/CMakeLists.txt")
    add_dependencies(${target} kavro_data)
  endif()
endfunction()
