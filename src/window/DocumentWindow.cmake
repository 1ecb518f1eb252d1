# The document window, its table and toolbar, and the character-set chooser.
target_sources(velmora_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/DocToolbarDelegate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileCellDelegate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileTableModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OutputDrawer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PARTableView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ParWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ParWindowController.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResultLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatisticsPanel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatusLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatusTexts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VelmoraController.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowIcons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../par2/ui/EncodingSelectionDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../par2/ui/EncodingSheetPresenter.cpp)

qt_add_resources(velmora_ui velmora_window_icons
  PREFIX "/icons"
  BASE ${PROJECT_SOURCE_DIR}/resources/icons
  FILES
    ${PROJECT_SOURCE_DIR}/resources/icons/DocTBAbort.svg
    ${PROJECT_SOURCE_DIR}/resources/icons/DocTBAddFiles.svg
    ${PROJECT_SOURCE_DIR}/resources/icons/DocTBCreate.svg
    ${PROJECT_SOURCE_DIR}/resources/icons/DocTBOpen.svg
    ${PROJECT_SOURCE_DIR}/resources/icons/DocTBPreferences.svg
    ${PROJECT_SOURCE_DIR}/resources/icons/DocTBReRecover.svg
    ${PROJECT_SOURCE_DIR}/resources/icons/DocTBRemove.svg
    ${PROJECT_SOURCE_DIR}/resources/icons/DocTBSaveAs.svg
    ${PROJECT_SOURCE_DIR}/resources/icons/FileErrorIcon.svg
    ${PROJECT_SOURCE_DIR}/resources/icons/FileNotInVolumeSetIcon.svg
    ${PROJECT_SOURCE_DIR}/resources/icons/FileOKIcon.svg
    ${PROJECT_SOURCE_DIR}/resources/icons/FilePossibleErrorIcon.svg
    ${PROJECT_SOURCE_DIR}/resources/icons/FileRecoverableIcon.svg)
