#include "platform/FileDialogs.h"

#include <utility>

#include <QFileDialog>

namespace {

// Plain Qt dialogs, for a program run without the main window's own (a console tool, a test
// that shows a dialog for real).
class PlainFileDialogs : public FileDialogs {
public:
    FileDialogResult open(const FileDialogRequest& request) override {
        FileDialogResult result;
        result.choiceIndex = request.choiceIndex;
        result.path = QFileDialog::getOpenFileName(request.parent, request.title, request.directory,
                                                   request.filters.join(QStringLiteral(";;")));
        result.accepted = !result.path.isEmpty();
        return result;
    }
    FileDialogResult save(const FileDialogRequest& request) override {
        FileDialogResult result;
        QString start = request.directory;
        if (!request.fileName.isEmpty())
            start = QDir(start).filePath(request.fileName);
        result.path = QFileDialog::getSaveFileName(request.parent, request.title, start,
                                                   request.filters.join(QStringLiteral(";;")));
        result.accepted = !result.path.isEmpty();
        return result;
    }
    QString folder(QWidget* parent, const QString& title, const QString& initialPath) override {
        return QFileDialog::getExistingDirectory(parent, title, initialPath);
    }
};

FileDialogs*& installed() {
    static FileDialogs* dialogs = nullptr;
    return dialogs;
}

FileDialogs*& fallback() {
    static FileDialogs* dialogs = nullptr;
    return dialogs;
}

} // namespace

FileDialogs* FileDialogs::install(FileDialogs* dialogs) {
    FileDialogs* previous = installed();
    installed() = dialogs;
    return previous;
}

FileDialogs* FileDialogs::setDefault(FileDialogs* dialogs) {
    return std::exchange(fallback(), dialogs);
}

FileDialogs& FileDialogs::current() {
    static PlainFileDialogs plain;
    if (installed())
        return *installed();
    if (fallback())
        return *fallback();
    return plain;
}
