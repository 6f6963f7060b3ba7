# Every text the program's sources give for translation has a finished English translation:
# lupdate reads the sources (every C++ file under FOLDERS) into a copy of TS and must find no
# text that the file lacks and leave no entry unfinished.
#   cmake -DLUPDATE=<lupdate> -DTS=<file.ts> -DFOLDERS=<folder,...> -DWORK=<scratch folder> -P CheckComplete.cmake
file(MAKE_DIRECTORY ${WORK})
set(copy ${WORK}/check_complete.ts)
string(REPLACE "," ";" FOLDERS "${FOLDERS}")
file(COPY_FILE ${TS} ${copy})
execute_process(COMMAND ${LUPDATE} -extensions cpp,h -no-obsolete -locations none ${FOLDERS} -ts ${copy}
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE report)
message("${report}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "lupdate failed with status ${status}")
endif()
if(NOT report MATCHES "Found [0-9]+ source text\\(s\\) \\(0 new")
  message(FATAL_ERROR "The sources hold texts that ${TS} does not translate (the new entries above).")
endif()
file(STRINGS ${copy} unfinished REGEX "type=\"unfinished\"")
list(LENGTH unfinished count)
if(count GREATER 0)
  file(READ ${copy} whole)
  string(REGEX MATCHALL "<source>[^<]*</source>[ \n]*<translation type=\"unfinished\"" entries "${whole}")
  string(REPLACE ";" "\n" entries "${entries}")
  message(FATAL_ERROR "${count} texts have no finished translation in ${TS}:\n${entries}")
endif()
