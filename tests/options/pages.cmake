# The options dialog with the editor, FTP and network pages.
list(APPEND options_tests
    ${CMAKE_CURRENT_LIST_DIR}/OptionPageRulesTest.cpp)
