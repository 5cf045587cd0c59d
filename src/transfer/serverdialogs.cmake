# The open-from-server dialog and the small server dialogs (save to server, directory tree,
# rename, make directory), with the rules they share in core.
target_sources(vantorpad_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ServerDialogContext.h
    ${CMAKE_CURRENT_LIST_DIR}/DirectoryHistory.h ${CMAKE_CURRENT_LIST_DIR}/DirectoryHistory.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ServerPaths.h ${CMAKE_CURRENT_LIST_DIR}/ServerPaths.cpp)

target_sources(vantorpad_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/DialogButtons.h ${CMAKE_CURRENT_LIST_DIR}/DialogButtons.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CSvRename.h ${CMAKE_CURRENT_LIST_DIR}/CSvRename.cpp)
