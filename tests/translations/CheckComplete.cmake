# Every text of the sources is translated and finished in TS, and nothing more: lupdate reads the
# C++ files under FOLDERS into a copy of TS and must find no new text, none unfinished, none obsolete.
#   cmake -DLUPDATE=<lupdate> -DTS=<file.ts> -DFOLDERS=<folder,...> -DWORK=<scratch folder> -P CheckComplete.cmake
string(REPLACE "," ";" FOLDERS "${FOLDERS}")
file(MAKE_DIRECTORY ${WORK})
file(COPY_FILE ${TS} ${WORK}/copy.ts)
execute_process(COMMAND ${LUPDATE} -extensions cpp,h -no-obsolete -locations none ${FOLDERS} -ts ${WORK}/copy.ts
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE report)
file(READ ${WORK}/copy.ts copy)
string(REGEX MATCHALL "<source>[^<]*</source>[ \n]*<translation type=\"unfinished\"" unfinished "${copy}")
if(NOT status EQUAL 0 OR NOT report MATCHES "\\(0 new" OR report MATCHES "obsolete" OR unfinished)
  string(REPLACE ";" "\n" unfinished "${unfinished}")
  message(FATAL_ERROR "${report}\nTexts that ${TS} lacks (new above), holds in vain (obsolete) or leaves unfinished:\n${unfinished}")
endif()
message("${report}")
