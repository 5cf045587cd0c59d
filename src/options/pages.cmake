# The options dialog with the editor, FTP and network pages, and the rules they keep in core.
target_sources(vantorpad_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ProfileWorkingCopy.h ${CMAKE_CURRENT_LIST_DIR}/ProfileWorkingCopy.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NetworkPageState.h ${CMAKE_CURRENT_LIST_DIR}/NetworkPageState.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EditorPageRules.h ${CMAKE_CURRENT_LIST_DIR}/EditorPageRules.cpp)

target_sources(vantorpad_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/COptionDlg.h ${CMAKE_CURRENT_LIST_DIR}/COptionDlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CEditOpt.h ${CMAKE_CURRENT_LIST_DIR}/CEditOpt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CFtpOpt.h ${CMAKE_CURRENT_LIST_DIR}/CFtpOpt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CNetOpt.h ${CMAKE_CURRENT_LIST_DIR}/CNetOpt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ColourField.h ${CMAKE_CURRENT_LIST_DIR}/ColourField.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StorableText.h ${CMAKE_CURRENT_LIST_DIR}/StorableText.cpp)
