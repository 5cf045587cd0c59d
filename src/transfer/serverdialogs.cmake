# The open-from-server dialog and the small server dialogs (save to server, directory tree,
# rename, make directory), with the rules they share in core.
target_sources(vantorpad_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ServerDialogContext.h
    ${CMAKE_CURRENT_LIST_DIR}/DirectoryHistory.h ${CMAKE_CURRENT_LIST_DIR}/DirectoryHistory.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ServerPaths.h ${CMAKE_CURRENT_LIST_DIR}/ServerPaths.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ServerListLines.h ${CMAKE_CURRENT_LIST_DIR}/ServerListLines.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BusyCount.h
    ${CMAKE_CURRENT_LIST_DIR}/ServerFileFetch.h ${CMAKE_CURRENT_LIST_DIR}/ServerFileFetch.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ServerBrowserState.h ${CMAKE_CURRENT_LIST_DIR}/ServerBrowserState.cpp)

target_sources(vantorpad_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ServerBrowser.h ${CMAKE_CURRENT_LIST_DIR}/ServerBrowser.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowNameDialogs.h ${CMAKE_CURRENT_LIST_DIR}/WindowNameDialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CSvRename.h ${CMAKE_CURRENT_LIST_DIR}/CSvRename.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CSvMakeDir.h ${CMAKE_CURRENT_LIST_DIR}/CSvMakeDir.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ServerDirTree.h ${CMAKE_CURRENT_LIST_DIR}/ServerDirTree.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CServerTree.h ${CMAKE_CURRENT_LIST_DIR}/CServerTree.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CServerDir.h ${CMAKE_CURRENT_LIST_DIR}/CServerDir.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CSaveSv.h ${CMAKE_CURRENT_LIST_DIR}/CSaveSv.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SaveToServerDialog.h ${CMAKE_CURRENT_LIST_DIR}/SaveToServerDialog.cpp)
