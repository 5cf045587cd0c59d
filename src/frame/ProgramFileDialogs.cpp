#include "frame/ProgramFileDialogs.h"

#include "frame/CFileDialogEx.h"
#include "frame/FolderBrowser.h"

#include <QDir>

FileDialogResult ProgramFileDialogs::open(const FileDialogRequest& request) {
    CFileDialogEx dialog(request.parent, request.title, request.directory, request.filters);
    if (!request.choices.isEmpty())
        dialog.setChoices(request.choiceLabel, request.choices, request.choiceIndex);
    dialog.setReadOnlyBoxShown(request.showReadOnly);
    FileDialogResult result;
    result.accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    result.choiceIndex = dialog.choiceIndex();
    if (result.accepted) {
        result.path = dialog.selectedFiles().front();
        result.readOnly = dialog.readOnlyChecked();
    }
    return result;
}

FileDialogResult ProgramFileDialogs::save(const FileDialogRequest& request) {
    QFileDialog dialog(request.parent, request.title, request.directory);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(request.filters);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    FileDialogResult result;
    result.accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    if (result.accepted)
        result.path = dialog.selectedFiles().front();
    return result;
}

QString ProgramFileDialogs::folder(QWidget* parent, const QString& title,
                                   const QString& initialPath) {
    FolderBrowser browser(parent, title, initialPath);
    if (browser.exec() != QDialog::Accepted)
        return QString();
    return browser.chosenFolder();
}
