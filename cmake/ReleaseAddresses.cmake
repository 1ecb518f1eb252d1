# The addresses behind the Help menu and the version check. They are build
# settings, written into the "Global" string table; an empty version-list
# address turns the version check off (nothing is sent anywhere).
#
#   cmake -DVELMORA_VERSIONLIST_URL=https://example.org/velmora/versions.plist ...
#
# The generated table is ${VELMORA_GLOBAL_STRINGS}; it is compiled in under the
# name Global.strings.
set(VELMORA_VERSIONLIST_URL "" CACHE STRING
  "Address of the version list (a property list); empty: no version check")
set(VELMORA_DOWNLOAD_URL "" CACHE STRING "Address of the download page")
set(VELMORA_WEBPAGE_URL "" CACHE STRING "Address of Velmora's web page")
set(VELMORA_AUTHOR_EMAIL "" CACHE STRING "E-mail address of the maker, without mailto:")
set(VELMORA_SCREENSHOT_URL "" CACHE STRING
  "Address of the screenshot software centres show; empty: WEBPAGE/screenshots/main-window.png")

# A value as the inside of a quoted string of a .strings file.
function(velmora_strings_escape value out)
  string(REPLACE "\\" "\\\\" value "${value}")
  string(REPLACE "\"" "\\\"" value "${value}")
  string(REPLACE "\n" "" value "${value}")
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

velmora_strings_escape("${VELMORA_VERSIONLIST_URL}" velmora_versionlist_url)
velmora_strings_escape("${VELMORA_DOWNLOAD_URL}" velmora_download_url)
velmora_strings_escape("${VELMORA_WEBPAGE_URL}" velmora_webpage_url)
velmora_strings_escape("${VELMORA_AUTHOR_EMAIL}" velmora_author_email)

set(VELMORA_GLOBAL_STRINGS ${CMAKE_BINARY_DIR}/generated/strings/Global.strings)
file(CONFIGURE OUTPUT ${VELMORA_GLOBAL_STRINGS} CONTENT
"/* Addresses used by Velmora, from the build settings in cmake/ReleaseAddresses.cmake. */
\"VersionlistURL\" = \"${velmora_versionlist_url}\";
\"DownloadURL\" = \"${velmora_download_url}\";
\"WebPageURL\" = \"${velmora_webpage_url}\";
\"AuthorEmail\" = \"${velmora_author_email}\";
")
