# kavro_outside_hid_library(<name> <stage folder> <sources>...)
#   lib<name>.so: one of the HID libraries the programs load by name. Only
#   the C entry points listed in exports.map beside the sources leave it; the
#   platform code inside is a private copy (hidden, static libraries' symbols
#   kept local, bound inside the library).
function(kavro_outside_hid_library name folder)
  add_library(${name} SHARED ${ARGN})
  set_target_properties(${name} PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  target_link_libraries(${name} PRIVATE kavro_platform_hid)
  set(map ${CMAKE_CURRENT_SOURCE_DIR}/exports.map)
  target_link_options(${name} PRIVATE -Wl,--exclude-libs,ALL -Wl,--no-undefined -Wl,-Bsymbolic
    -Wl,--version-script=${map})
  set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${map})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  # Staged beside its program, without waiting for the shipped data (the
  # library reads none); the programs themselves wait for it.
  if(DEFINED KAVRO_STAGE_DIR)
    set_target_properties(${name} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${KAVRO_STAGE_DIR}/${folder})
  endif()
  install(TARGETS ${name} LIBRARY DESTINATION ${folder} COMPONENT programs)
endfunction()
