#include "sheet/OpenInSpreadsheet.h"

#include "sheet/CGridConv.h"
#include "sheet/SheetContext.h"
#include "sheet/SheetDialogs.h"

void OpenInSpreadsheet(const SheetContext& context, const QString& path, bool readOnly) {
    DelimitedTextOptions options;
    options.path = path;
    options.readOnly = readOnly;
    CDelimMsgDlg settings(CDelimMsgDlg::Mode::Input, options, context.mainWindow);
    if (settings.exec() != QDialog::Accepted)
        return;
    QStringList written;
    {
        CGridConv window(context, settings.options(), context.mainWindow);
        static_cast<void>(window.LoadDelimitedText());
        window.exec();
        written = window.writtenPaths();
    }
    if (!context.fileRewritten)
        return;
    for (const QString& file : written)
        context.fileRewritten(file);
}
