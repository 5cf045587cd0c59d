#pragma once

#include "platform/FileDialogs.h"

// The program's own file dialogs: the extended open dialog, Qt's save dialog and the folder
// browser. The main window makes them the default of FileDialogs while it lives.
class ProgramFileDialogs : public FileDialogs {
public:
    FileDialogResult open(const FileDialogRequest& request) override;
    FileDialogResult save(const FileDialogRequest& request) override;
    QString folder(QWidget* parent, const QString& title, const QString& initialPath) override;
};
