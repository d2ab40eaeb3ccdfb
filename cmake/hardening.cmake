# SPDX-License-Identifier: GPL-3.0-or-later
# The hardening Debian builds its own packages with: stack protection, fortified C library calls
# in optimised builds, and relocations made read-only at start (full RELRO, immediate binding).
# Left out of the fuzz build, whose sanitizers check what fortification would hide from them.
option(QUILLON_HARDENING "Build with stack protection, fortified libc calls and full RELRO" ON)
if(QUILLON_HARDENING AND NOT QUILLON_FUZZ)
  add_compile_options(-fstack-protector-strong
                      $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>)
  add_link_options(LINKER:-z,relro,-z,now)
endif()
