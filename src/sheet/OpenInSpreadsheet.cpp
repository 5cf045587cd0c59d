#include "sheet/OpenInSpreadsheet.h"

#include "app/CVantorpadApp.h"
#include "doc/CVantorpadDoc.h"
#include "frame/CChildFrame.h"
#include "frame/CMainFrame.h"
#include "sheet/CGridConv.h"
#include "sheet/SheetDialogs.h"

void OpenInSpreadsheet(CVantorpadApp& app, const QString& path, bool readOnly) {
    DelimitedTextOptions options;
    options.path = path;
    options.readOnly = readOnly;
    CDelimMsgDlg settings(CDelimMsgDlg::Mode::Input, options, app.mainFrame());
    if (settings.exec() != QDialog::Accepted)
        return;
    QStringList written;
    {
        CGridConv window(app, settings.options(), app.mainFrame());
        static_cast<void>(window.LoadDelimitedText());
        window.exec();
        written = window.writtenPaths();
    }
    if (!app.mainFrame())
        return;
    for (const QString& file : written)
        if (CChildFrame* frame = app.mainFrame()->findChildFrame(file))
            frame->document()->OnFileRewritten();
}
