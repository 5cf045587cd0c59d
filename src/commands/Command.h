#pragma once

// Command ids of menus, toolbars and accelerators. Every QAction carries its id (QAction::data),
// so a command can be found, triggered and queried by its number.
enum Command : int {
    CmdOpenServerFile = 32770,  // ｻｰﾊﾞﾌｧｲﾙを開く
    CmdKeywordSettings = 32771, // ｷｰﾜｰﾄﾞ設定
    CmdFtpTransfer = 32772,     // FTP転送
    CmdKeywordColour = 32773,
    CmdSaveToServer = 32774,
    CmdReload = 32775,
    CmdSpreadsheet = 32776,
    CmdOptions = 32778, // オプション設定
    CmdToolbarSize = 32790,
    CmdInsertFile = 32792, // ｶｰｿﾙ位置に読込む
    CmdFindBox = 32793,
    CmdFileNew = 57600,
    CmdFileOpen = 57601,
    CmdFileClose = 57602,
    CmdFileSave = 57603,
    CmdFileSaveAs = 57604,
    CmdFilePageSetup = 57606,
    CmdFilePrint = 57607,
    CmdFilePrintDirect = 57608,
    CmdFilePrintPreview = 57609,
    CmdFileMru1 = 57616,
    CmdEditUndo = 57643,
    CmdEditRedo = 57644,
    CmdWindowCascade = 57650,
    CmdWindowTile = 57651,
    CmdAppAbout = 57664,
    CmdAppExit = 57665,
    CmdHelp = 57670,
    CmdViewToolbar = 59392,
    CmdViewStatusBar = 59393,
};
