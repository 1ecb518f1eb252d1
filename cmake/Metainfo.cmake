# The AppStream metainfo, made from its template. The web page and the
# screenshot are build settings (cmake/ReleaseAddresses.cmake): without a web
# page the file names neither. Also runs as a script:
#   cmake -DVELMORA_WEBPAGE_URL=... -DSOURCE_DIR=... -DOUTPUT=... -P cmake/Metainfo.cmake
if(CMAKE_SCRIPT_MODE_FILE)
  set(PROJECT_SOURCE_DIR ${SOURCE_DIR})
  set(VELMORA_METAINFO ${OUTPUT})
else()
  set(VELMORA_METAINFO ${PROJECT_BINARY_DIR}/generated/org.velmora.Velmora.metainfo.xml)
endif()

set(VELMORA_METAINFO_LINKS "")
if(NOT "${VELMORA_WEBPAGE_URL}" STREQUAL "")
  if("${VELMORA_SCREENSHOT_URL}" STREQUAL "")
    string(REGEX REPLACE "/+$" "" VELMORA_SCREENSHOT_URL "${VELMORA_WEBPAGE_URL}")
    string(APPEND VELMORA_SCREENSHOT_URL "/screenshots/main-window.png")
  endif()
  string(CONCAT VELMORA_METAINFO_LINKS
    "  <url type=\"homepage\">${VELMORA_WEBPAGE_URL}</url>\n"
    "  <screenshots>\n"
    "    <screenshot type=\"default\">\n"
    "      <caption>A repaired set: every file with its status</caption>\n"
    "      <image>${VELMORA_SCREENSHOT_URL}</image>\n"
    "    </screenshot>\n"
    "  </screenshots>\n")
endif()
configure_file(${PROJECT_SOURCE_DIR}/resources/org.velmora.Velmora.metainfo.xml.in
  ${VELMORA_METAINFO} @ONLY)
