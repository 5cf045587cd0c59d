list(APPEND transfer_tests
    ${CMAKE_CURRENT_LIST_DIR}/ServerRulesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SmallServerDialogsTest.cpp)
