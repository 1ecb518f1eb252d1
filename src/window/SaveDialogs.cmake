# The panels for building a new set: adding files, the save dialog and the
# options sheet.
target_sources(velmora_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AddFilesPanel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveOptionsController.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WidgetSetBuildingPanels.cpp)
