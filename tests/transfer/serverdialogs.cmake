list(APPEND transfer_tests
    ${CMAKE_CURRENT_LIST_DIR}/ServerDialogTestSupport.h
    ${CMAKE_CURRENT_LIST_DIR}/ServerDialogTestSupport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ServerRulesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SmallServerDialogsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ServerDirTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ServerTreeTest.cpp)
