# The hardening Debian's own packages are built with (dpkg-buildflags with hardening=+all):
# a stack protector, fortified libc calls, a read-only relocation table resolved at start, and
# control-flow protection where the compiler and target have it. Every target gets them, so the
# tests run the very code that ships. The package's own build (debian/rules) leaves this off and
# takes the same flags from dpkg-buildflags.
if(NOT VX_HARDEN)
  return()
endif()

include(CheckCXXCompilerFlag)

add_compile_options(-fstack-protector-strong)
# Fortified calls need the optimiser; an explicit level replaces one the compiler may preset.
add_compile_options(-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2)
check_cxx_compiler_flag(-fcf-protection VX_HAS_CF_PROTECTION)
if(VX_HAS_CF_PROTECTION)
  add_compile_options(-fcf-protection)
endif()
add_link_options(LINKER:-z,relro LINKER:-z,now)
