# The options dialog with the editor, FTP and network pages.
list(APPEND options_tests
    ${CMAKE_CURRENT_LIST_DIR}/OptionPageRulesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OptionsTestSupport.h
    ${CMAKE_CURRENT_LIST_DIR}/OptionsTestSupport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FtpPageTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OptionDialogTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EditorPageTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OptionsCommandTest.cpp)
