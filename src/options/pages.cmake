# The options dialog with the editor, FTP and network pages, and the rules they keep in core.
target_sources(vantorpad_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ProfileWorkingCopy.h ${CMAKE_CURRENT_LIST_DIR}/ProfileWorkingCopy.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NetworkPageState.h ${CMAKE_CURRENT_LIST_DIR}/NetworkPageState.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EditorPageRules.h ${CMAKE_CURRENT_LIST_DIR}/EditorPageRules.cpp)
