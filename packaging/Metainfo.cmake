# Writes the AppStream record from its template, with the screenshot and the homepage only when
# they are given: the project names no address it does not own. Run with cmake -P:
#   -DTEMPLATE=<metainfo.xml.in> -DOUTPUT=<metainfo.xml> [-DHOMEPAGE=<url>] [-DSCREENSHOT_URL=<url>]
foreach(url HOMEPAGE SCREENSHOT_URL)
  string(REPLACE "&" "&amp;" ${url} "${${url}}")
  string(REPLACE "<" "&lt;" ${url} "${${url}}")
endforeach()
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
