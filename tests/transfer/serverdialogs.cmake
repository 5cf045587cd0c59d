list(APPEND transfer_tests
    ${CMAKE_CURRENT_LIST_DIR}/ServerDialogTestSupport.h
    ${CMAKE_CURRENT_LIST_DIR}/ServerDialogTestSupport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ServerRulesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SmallServerDialogsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ServerDirTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ServerTreeTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainTaskTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ServerBrowserTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ServerProfileSwitchTest.cpp)

# The demo server of tools/demo.sh, with a stand-in for the editor.
add_test(NAME transfer_demo COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/demo_test.sh)
set_tests_properties(transfer_demo PROPERTIES TIMEOUT 60)
