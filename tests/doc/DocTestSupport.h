#pragma once

#include "app/CVantorpadApp.h"
#include "doc/CVantorpadDoc.h"
#include "editor/CVantorpadView.h"
#include "frame/CChildFrame.h"
#include "frame/CMainFrame.h"

// Short ways to the active editor of a harness's main window.
inline CVantorpadView* activeView(CMainFrame& frame) {
    return frame.activeView();
}
inline CVantorpadDoc* activeDoc(CMainFrame& frame) {
    return frame.activeDocument();
}
// Types `text` at the end of the active editor, as the user would.
inline void appendText(CMainFrame& frame, const QString& text) {
    CVantorpadView* view = frame.activeView();
    const qsizetype end = view->toPlainText().size();
    view->select(end, end);
    view->insertPlainText(text);
}
