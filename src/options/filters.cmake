# The filter pages (PC file kinds, server extensions with their icons) and the extension lookup
# that the server lists use.
target_sources(vantorpad_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FilterRules.h ${CMAKE_CURRENT_LIST_DIR}/FilterRules.cpp)

target_sources(vantorpad_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CPcFilter.h ${CMAKE_CURRENT_LIST_DIR}/CPcFilter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CSvFilter.h ${CMAKE_CURRENT_LIST_DIR}/CSvFilter.cpp)
