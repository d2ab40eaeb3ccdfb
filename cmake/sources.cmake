# SPDX-License-Identifier: GPL-3.0-or-later
# The .cpp files of each folder named, for a library or a test binary. A new source file needs no
# CMake edit; a folder that holds none (moved, renamed, misspelt) stops the configure step instead
# of leaving a library or a test suite out of the build without a word.
function(quillon_glob_sources out_var)
  set(sources)
  foreach(dir IN LISTS ARGN)
    file(GLOB dir_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    if(NOT dir_sources)
      message(FATAL_ERROR "No .cpp file in ${CMAKE_CURRENT_SOURCE_DIR}/${dir}")
    endif()
    list(APPEND sources ${dir_sources})
  endforeach()
  set(${out_var} ${sources} PARENT_SCOPE)
endfunction()

# Fails the configure step when a name to link is not a target of this build or of a package
# found, rather than letting the linker look for a library file of that name.
function(quillon_require_targets)
  foreach(name IN LISTS ARGN)
    if(NOT TARGET ${name})
      message(FATAL_ERROR "${name} is not a target of this build")
    endif()
  endforeach()
endfunction()
