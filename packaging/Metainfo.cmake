# Writes the AppStream record from its template: the release history from CHANGELOG, and the
# screenshot and the homepage only when they are given (the project names no address it does not
# own). Run with cmake -P:
#   -DTEMPLATE=<metainfo.xml.in> -DOUTPUT=<metainfo.xml> [-DCHANGELOG=<CHANGELOG, default the
#   repository's>] [-DHOMEPAGE=<url>] [-DSCREENSHOT_URL=<url>]
include("${CMAKE_CURRENT_LIST_DIR}/ReleaseNotes.cmake")
if(NOT CHANGELOG)
  set(CHANGELOG "${CMAKE_CURRENT_LIST_DIR}/../CHANGELOG")
endif()
function(xml_escape var)
  string(REPLACE "&" "&amp;" text "${${var}}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  string(REPLACE "\"" "&quot;" text "${text}")
  set(${var} "${text}" PARENT_SCOPE)
endfunction()

foreach(url HOMEPAGE SCREENSHOT_URL)
  xml_escape(${url})
endforeach()

# Each release with its date and its notes, one paragraph a note.
tavorin_read_release_notes("${CHANGELOG}" notes)
set(TAVORIN_METAINFO_RELEASES "  <releases>\n")
math(EXPR last "${notes_COUNT} - 1")
foreach(r RANGE ${last})
  xml_escape(notes_${r}_NOTES)
  string(REPLACE "\n" "</p>\n        <p>" paragraphs "${notes_${r}_NOTES}")
  string(APPEND TAVORIN_METAINFO_RELEASES
    "    <release version=\"${notes_${r}_VERSION}\" date=\"${notes_${r}_DATE}\">\n"
    "      <description>\n"
    "        <p>${paragraphs}</p>\n"
    "      </description>\n"
    "    </release>\n")
endforeach()
string(APPEND TAVORIN_METAINFO_RELEASES "  </releases>\n")

set(TAVORIN_METAINFO_ADDRESSES "")
if(NOT SCREENSHOT_URL STREQUAL "")
  string(APPEND TAVORIN_METAINFO_ADDRESSES
    "  <screenshots>\n"
    "    <screenshot type=\"default\">\n"
    "      <caption>The main window during a game: the scrambled picture, the gap at the top left and the running clock</caption>\n"
    "      <image type=\"source\" width=\"354\" height=\"414\">${SCREENSHOT_URL}</image>\n"
    "    </screenshot>\n"
    "  </screenshots>\n")
endif()
if(NOT HOMEPAGE STREQUAL "")
  string(APPEND TAVORIN_METAINFO_ADDRESSES "  <url type=\"homepage\">${HOMEPAGE}</url>\n")
endif()
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
