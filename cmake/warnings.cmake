# SPDX-License-Identifier: GPL-3.0-or-later
# Warnings are an interface target so only our own code gets them, never Qt's or GoogleTest's
# headers (compiled as system headers). They are errors in our builds and CI; someone building
# with a newer compiler than ours, whose new warnings we have not seen, may turn that off.
option(QUILLON_WARNINGS_AS_ERRORS "Stop the build at a warning in Quillon's code" ON)
add_library(quillon_warnings INTERFACE)
target_compile_options(quillon_warnings INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Wconversion -Wsign-conversion -Wshadow
    -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual
    $<$<BOOL:${QUILLON_WARNINGS_AS_ERRORS}>:-Werror>>)
