# The hardening flags Debian builds its packages with, as dpkg-buildflags gives
# them (all hardening features on). Only the hardening flags are taken: the
# build type keeps choosing optimisation and debug information, and source paths
# stay out of the flags, so checkouts in other folders share the compiler cache.
# Optimised builds only: _FORTIFY_SOURCE warns without optimisation, and
# warnings are errors here.
option(VELMORA_HARDENING "Build with the hardening flags of dpkg-buildflags" ON)

function(velmora_hardening_flags variable out)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                          ${DPKG_BUILDFLAGS} --get ${variable}
                  OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags INCLUDE REGEX
    "^(-D_FORTIFY_SOURCE=|-fstack-protector|-fstack-clash-protection|-fcf-protection|-Wformat|-Werror=format-security|-Wl,-z,)")
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(VELMORA_HARDENING AND DPKG_BUILDFLAGS AND NOT VELMORA_TSAN AND NOT VELMORA_ASAN AND NOT VELMORA_FUZZ
   AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
  velmora_hardening_flags(CPPFLAGS velmora_cppflags)
  velmora_hardening_flags(CXXFLAGS velmora_cxxflags)
  velmora_hardening_flags(LDFLAGS velmora_ldflags)
  add_compile_options(${velmora_cppflags} ${velmora_cxxflags})
  add_link_options(${velmora_ldflags})
  message(STATUS "Hardening flags: ${velmora_cppflags} ${velmora_cxxflags} ${velmora_ldflags}")
endif()
