# SPDX-License-Identifier: GPL-3.0-or-later
# Warnings are an interface target so only our own code gets -Werror,
# never Qt's or GoogleTest's headers compiled as system headers.
add_library(quillon_warnings INTERFACE)
target_compile_options(quillon_warnings INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Werror>)
