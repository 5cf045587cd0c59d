# The file transfer window: its two panes, the transfers with their progress window, and the file
# operations on both sides, with the rules they follow kept in core.
target_sources(vantorpad_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/TransferRules.h ${CMAKE_CURRENT_LIST_DIR}/TransferRules.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PcDirectory.h ${CMAKE_CURRENT_LIST_DIR}/PcDirectory.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DriveList.h ${CMAKE_CURRENT_LIST_DIR}/DriveList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TransferProgress.h
    ${CMAKE_CURRENT_LIST_DIR}/TransferBatch.h ${CMAKE_CURRENT_LIST_DIR}/TransferBatch.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileActions.h ${CMAKE_CURRENT_LIST_DIR}/FileActions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TransferWindowContext.h)

target_sources(vantorpad_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FileListModel.h ${CMAKE_CURRENT_LIST_DIR}/FileListModel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileListView.h ${CMAKE_CURRENT_LIST_DIR}/FileListView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TransferAnimation.h ${CMAKE_CURRENT_LIST_DIR}/TransferAnimation.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CProgressDlg.h ${CMAKE_CURRENT_LIST_DIR}/CProgressDlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CFtpDlg.h ${CMAKE_CURRENT_LIST_DIR}/CFtpDlgBusy.h
    ${CMAKE_CURRENT_LIST_DIR}/CFtpDlg.cpp ${CMAKE_CURRENT_LIST_DIR}/CFtpDlgPanes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CFtpDlgActions.cpp)
