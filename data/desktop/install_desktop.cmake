# Runs at install time (install(SCRIPT)): writes the desktop entries with the
# programs' absolute paths under the prefix being installed to.
if(NOT KAVRO_DESKTOP_TEMPLATES)
  message(FATAL_ERROR "KAVRO_DESKTOP_TEMPLATES is not set")
endif()
set(KAVRO_PREFIX "${CMAKE_INSTALL_PREFIX}")
foreach(entry KavroQ350:kavro-launcher Q350Config:kavro-q350config Lumera:kavro-lumera)
  string(REPLACE ":" ";" parts "${entry}")
  list(GET parts 0 template)
  list(GET parts 1 name)
  set(target "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications/${name}.desktop")
  message(STATUS "Installing: ${target}")
  configure_file("${KAVRO_DESKTOP_TEMPLATES}/${template}.desktop.in" "${target}" @ONLY)
endforeach()
