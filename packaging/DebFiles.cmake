# CPack's last step before the Debian package is made (CPACK_PRE_BUILD_SCRIPTS): the files that
# only the package carries, written into its staging folder.
#   usr/share/doc/<package>/changelog.gz   CHANGELOG's releases in Debian's changelog format,
#       signed by the packager (the Maintainer field), compressed as Debian's tools do it
#       (gzip -9n: no name, no time stamp). The package is native, hence changelog.gz.
#   usr/share/lintian/overrides/<package>  the lintian tags that do not apply, with the reason
#       for each (packaging/lintian-overrides).
# CPack has stripped the programs and libraries of their symbols; the sections that only name the
# tools that built them (.comment, .note) go too, as Debian's dh_strip takes them away.
include("${CMAKE_CURRENT_LIST_DIR}/ReleaseNotes.cmake")

set(stage "${CPACK_TEMPORARY_DIRECTORY}")
set(package "${CPACK_PACKAGE_NAME}")

# Writes the text $2 as the file $1 of the staging folder, 0644 in 0755 folders whatever the umask.
function(stage_file path text)
  get_filename_component(folder "${path}" DIRECTORY)
  file(MAKE_DIRECTORY "${stage}/${folder}")
  while(NOT folder STREQUAL "")
    file(CHMOD "${stage}/${folder}" DIRECTORY_PERMISSIONS
         OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    get_filename_component(folder "${folder}" DIRECTORY)
  endwhile()
  file(WRITE "${stage}/${path}" "${text}")
  file(CHMOD "${stage}/${path}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endfunction()

tavorin_read_release_notes("${CPACK_TAVORIN_CHANGELOG}" release)
if(NOT release_0_VERSION STREQUAL CPACK_PACKAGE_VERSION)
  message(FATAL_ERROR "CHANGELOG's newest release is ${release_0_VERSION}, the package's version ${CPACK_PACKAGE_VERSION}")
endif()
set(changelog "")
math(EXPR last "${release_COUNT} - 1")
foreach(r RANGE ${last})
  execute_process(COMMAND date -u -R -d "${release_${r}_DATE} 00:00:00 UTC" OUTPUT_VARIABLE date
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  string(APPEND changelog
    "${package} (${release_${r}_VERSION}) unstable; urgency=medium\n\n"
    "${release_${r}_LINES}\n\n"
    " -- ${CPACK_DEBIAN_PACKAGE_MAINTAINER}  ${date}\n")
  if(r LESS last)
    string(APPEND changelog "\n")
  endif()
endforeach()
set(doc "usr/share/doc/${package}")
stage_file("${doc}/changelog" "${changelog}")
execute_process(COMMAND gzip -9n "${stage}/${doc}/changelog" COMMAND_ERROR_IS_FATAL ANY)

file(READ "${CPACK_TAVORIN_LINTIAN_OVERRIDES}" overrides)
stage_file("usr/share/lintian/overrides/${package}" "${overrides}")

file(GLOB_RECURSE staged LIST_DIRECTORIES false "${stage}/*")
foreach(file IN LISTS staged)
  file(READ "${file}" magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46" AND NOT IS_SYMLINK "${file}")
    execute_process(COMMAND "${CPACK_TAVORIN_STRIP}" --remove-section=.comment --remove-section=.note "${file}"
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
