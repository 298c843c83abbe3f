# morvane_generate_movie(OUT <file> [TARGET <name>] [DESCRIPTION <json>])
#
# Builds the launcher movie at build time from the description (default:
# resources/movie/launcher-movie.json) and the PNG artwork beside it, with the
# configured deployment hosts (MORVANE_PORTAL_HOST, MORVANE_PAY_HOST,
# MORVANE_FORUM_HOST) put in for ${PORTAL_HOST}, ${PAY_HOST}, ${FORUM_HOST}.
# With TARGET, a custom target of that name builds the file; make whatever
# embeds it (the .rc's resource 181 of type "swf") depend on it, e.g.
#   morvane_generate_movie(OUT ${CMAKE_CURRENT_BINARY_DIR}/launcher.movie TARGET launcher_movie)
#   set_source_files_properties(Morvane.rc PROPERTIES OBJECT_DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/launcher.movie)
#   add_dependencies(Morvane launcher_movie)
# Only a Python 3 interpreter is needed (no third-party modules).
include_guard(GLOBAL)
# The guard makes later includes no-ops, so what the function needs is kept
# in the cache, not in the first includer's scope.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(MORVANE_MOVIEGEN_PYTHON ${Python3_EXECUTABLE} CACHE INTERNAL "")
set(MORVANE_MOVIEGEN_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/moviegen.py CACHE INTERNAL "")

function(morvane_generate_movie)
  cmake_parse_arguments(M "" "OUT;TARGET;DESCRIPTION" "" ${ARGN})
  if(NOT M_OUT)
    message(FATAL_ERROR "morvane_generate_movie: OUT is required")
  endif()
  if(NOT M_DESCRIPTION)
    set(M_DESCRIPTION ${PROJECT_SOURCE_DIR}/resources/movie/launcher-movie.json)
  endif()
  get_filename_component(art_dir ${M_DESCRIPTION} DIRECTORY)
  file(GLOB artwork CONFIGURE_DEPENDS ${art_dir}/*.png)
  add_custom_command(
    OUTPUT ${M_OUT}
    COMMAND ${MORVANE_MOVIEGEN_PYTHON} ${MORVANE_MOVIEGEN_SCRIPT}
            --description ${M_DESCRIPTION} --out ${M_OUT}
            --host PORTAL_HOST=${MORVANE_PORTAL_HOST}
            --host PAY_HOST=${MORVANE_PAY_HOST}
            --host FORUM_HOST=${MORVANE_FORUM_HOST}
    DEPENDS ${MORVANE_MOVIEGEN_SCRIPT} ${M_DESCRIPTION} ${artwork}
    COMMENT "Generating the launcher movie ${M_OUT}"
    VERBATIM)
  if(M_TARGET)
    add_custom_target(${M_TARGET} DEPENDS ${M_OUT})
  endif()
endfunction()
