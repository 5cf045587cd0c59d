#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// What a file dialog is asked to show. The optional rows are those of the program's extended
// open dialog: the read-only check box and one labelled drop-down list.
struct FileDialogRequest {
    QWidget* parent = nullptr;
    QString title;
    QString directory;
    QString fileName;
    QStringList filters;
    bool showReadOnly = false;
    QString choiceLabel;
    QStringList choices;
    int choiceIndex = 0;
};

// What the user chose. `choiceIndex` is -1 when no item of the list was selected; it is
// recorded on Cancel too.
struct FileDialogResult {
    bool accepted = false;
    QString path;
    bool readOnly = false;
    int choiceIndex = -1;
};

// The one way the program asks for a file or folder name. The GUI runs real dialogs; tests
// install a scripted implementation that answers from a queue, the way Prompt works for message
// boxes.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual FileDialogResult open(const FileDialogRequest& request) = 0;
    virtual FileDialogResult save(const FileDialogRequest& request) = 0;
    // Returns the chosen folder, or an empty string on Cancel.
    virtual QString folder(QWidget* parent, const QString& title, const QString& initialPath) = 0;

    // Installs `dialogs` (not owned) in front of everything else and returns the one it
    // replaces.
    static FileDialogs* install(FileDialogs* dialogs);
    // The implementation used when nothing is installed: the program's own dialogs, set by the
    // main window while it lives. Without one, plain Qt file dialogs serve. Returns the one it
    // replaces.
    static FileDialogs* setDefault(FileDialogs* dialogs);
    static FileDialogs& current();
};
