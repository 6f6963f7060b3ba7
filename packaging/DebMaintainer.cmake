# CPack's set-up of the Debian package (CPACK_PROJECT_CONFIG_FILE), read when the package is
# made: the Maintainer field names the packager, taken from DEBFULLNAME and DEBEMAIL as Debian's
# own tools (dch) take them. DEBEMAIL may also hold "Name <address>"; DEBFULLNAME then wins.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
set(maintainer_name "$ENV{DEBFULLNAME}")
set(maintainer_address "$ENV{DEBEMAIL}")
if(maintainer_address MATCHES "^(.*[^ ]) *<([^<>]*)>$")
  if(maintainer_name STREQUAL "")
    set(maintainer_name "${CMAKE_MATCH_1}")
  endif()
  set(maintainer_address "${CMAKE_MATCH_2}")
endif()
if(maintainer_name STREQUAL "" OR NOT maintainer_address MATCHES "^[^@ <>]+@[^@ <>]+$")
  message(FATAL_ERROR
    "The Debian package's Maintainer field names whoever makes the package: set DEBFULLNAME to "
    "your name and DEBEMAIL to your e-mail address, as for Debian's own tools, then run cpack again:\n"
    "  DEBFULLNAME='<your name>' DEBEMAIL='<your address>' cpack --config <build>/CPackConfig.cmake\n"
    "Now DEBFULLNAME is '$ENV{DEBFULLNAME}' and DEBEMAIL is '$ENV{DEBEMAIL}'.")
endif()
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${maintainer_name} <${maintainer_address}>")
