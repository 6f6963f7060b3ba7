# Install-time step: writes the desktop entry, the manual page and the system registry entry for
# the actual prefix. They are the installed files that name absolute paths below the prefix
# installed to (cmake --install --prefix, or /usr inside the package), so they cannot be made
# earlier.
#
# Set by the install rule that includes this file:
#   TAVORIN_DESKTOP_TEMPLATE  the desktop entry with @TAVORIN_EXEC@ and @TAVORIN_DATA_PATH@ to fill in
#   TAVORIN_MAN_TEMPLATE      the manual page, with the version, its date and the paths to fill in
#   TAVORIN_VERSION, TAVORIN_RELEASE_DATE  the version and the date of its release
#   TAVORIN_GAMESDIR, TAVORIN_MANDIR, TAVORIN_DATADIR, TAVORIN_QELDIR  folders relative to the prefix
#   TAVORIN_REGSVR            the build's tavorin-regsvr
#   TAVORIN_WORK_DIR          a folder for intermediate files
# Installed files go through file(INSTALL), which honours DESTDIR and lists them in the
# install manifest, so an uninstall by the manifest removes them too.

string(REGEX REPLACE "(.)/+$" "\\1" prefix "${CMAKE_INSTALL_PREFIX}")
set(data_path "${prefix}/${TAVORIN_DATADIR}/tavorin")
set(qel_path "${prefix}/${TAVORIN_QELDIR}/libQel.so")
set(staged_qel "$ENV{DESTDIR}${qel_path}")

# The system folder of the XDG config path belonging to this prefix: /etc/xdg, the default
# entry of XDG_CONFIG_DIRS, for the system's own prefixes; otherwise one inside the prefix,
# which the player then lists in XDG_CONFIG_DIRS.
if(prefix STREQUAL "/usr" OR prefix STREQUAL "/usr/local")
  set(xdg_config_dir "/etc/xdg")
else()
  set(xdg_config_dir "${prefix}/etc/xdg")
endif()

string(RANDOM LENGTH 12 run)
set(work "${TAVORIN_WORK_DIR}/install-${run}")
file(REMOVE_RECURSE "${work}")
file(MAKE_DIRECTORY "${work}")

# The desktop entry starts the installed command in the game's data folder. Exec quotes a path
# with characters the desktop entry specification reserves, escaping ", `, $ and \ inside the
# quotes, and then every \ once more, as the entry's string value.
set(TAVORIN_DATA_PATH "${data_path}")
set(TAVORIN_EXEC "${prefix}/${TAVORIN_GAMESDIR}/tavorin")
if(TAVORIN_EXEC MATCHES "[] \t\n\"'\\><~|&;$*?#()`[]")
  string(REGEX REPLACE "([\"`$\\])" "\\\\\\1" TAVORIN_EXEC "${TAVORIN_EXEC}")
  set(TAVORIN_EXEC "\"${TAVORIN_EXEC}\"")
  string(REPLACE "\\" "\\\\" TAVORIN_EXEC "${TAVORIN_EXEC}")
endif()
configure_file("${TAVORIN_DESKTOP_TEMPLATE}" "${work}/io.github.tavorin.Tavorin.desktop" @ONLY)
file(INSTALL "${work}/io.github.tavorin.Tavorin.desktop"
     DESTINATION "${prefix}/${TAVORIN_DATADIR}/applications"
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# The manual page names the installed files, compressed as Debian's tools do it (gzip -9n).
set(TAVORIN_SYSTEM_REGISTRY "${xdg_config_dir}/tavorin/components.json")
set(TAVORIN_QEL_PATH "${qel_path}")
foreach(path TAVORIN_SYSTEM_REGISTRY TAVORIN_QEL_PATH TAVORIN_DATA_PATH)
  string(REPLACE "\\" "\\e" ${path} "${${path}}")   # roff's escape character
  string(REPLACE "-" "\\-" ${path} "${${path}}")
endforeach()
configure_file("${TAVORIN_MAN_TEMPLATE}" "${work}/tavorin.6" @ONLY)
execute_process(COMMAND gzip -9n "${work}/tavorin.6" COMMAND_ERROR_IS_FATAL ANY)
file(INSTALL "${work}/tavorin.6.gz"
     DESTINATION "${prefix}/${TAVORIN_MANDIR}/man6"
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# The registry entry is what the installed library's own registration writes, made by
# tavorin-regsvr into a scratch config folder. The library loaded is the staged copy, so the
# staging root is then cut from the paths it recorded.
if(NOT EXISTS "${staged_qel}")
  message(FATAL_ERROR "The Qel library is not installed at ${staged_qel}")
endif()
execute_process(
  COMMAND "${CMAKE_COMMAND}" -E env "XDG_CONFIG_HOME=${work}/config" "${TAVORIN_REGSVR}" "${staged_qel}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Registering the installed Qel failed: ${output}")
endif()
file(READ "${work}/config/tavorin/components.json" entry)
file(REAL_PATH "$ENV{DESTDIR}${prefix}" staged_prefix)
string(REPLACE "\"${staged_prefix}/" "\"${prefix}/" entry "${entry}")
string(FIND "${entry}" "\"${qel_path}\"" found)
string(FIND "${entry}" "\"${staged_prefix}/" staged)
if(found EQUAL -1 OR (NOT "$ENV{DESTDIR}" STREQUAL "" AND NOT staged EQUAL -1))
  message(FATAL_ERROR "The registry entry does not name ${qel_path}:\n${entry}")
endif()
file(WRITE "${work}/components.json" "${entry}")
file(INSTALL "${work}/components.json"
     DESTINATION "${xdg_config_dir}/tavorin"
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

file(REMOVE_RECURSE "${work}")
