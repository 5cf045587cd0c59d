list(APPEND transfer_tests
    ${CMAKE_CURRENT_LIST_DIR}/TransferWindowTestSupport.h
    ${CMAKE_CURRENT_LIST_DIR}/TransferWindowTestSupport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TransferRulesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TransferBatchTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FtpDlgTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FtpDlgTransferTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FtpTransferCommandTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PaneKeysTest.cpp)
