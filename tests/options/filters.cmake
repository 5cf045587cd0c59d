list(APPEND options_tests
    ${CMAKE_CURRENT_LIST_DIR}/FilterPagesTest.cpp)
