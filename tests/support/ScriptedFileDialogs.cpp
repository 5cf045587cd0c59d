#include "ScriptedFileDialogs.h"

#include <gtest/gtest.h>

ScriptedFileDialogs::ScriptedFileDialogs() = default;

ScriptedFileDialogs::~ScriptedFileDialogs() {
    EXPECT_TRUE(m_open.isEmpty() && m_save.isEmpty() && m_folder.isEmpty())
        << "scripted file dialogs were never shown";
}

FileDialogResult ScriptedFileDialogs::chose(const QString& path, bool readOnly, int choice) {
    FileDialogResult r;
    r.accepted = true;
    r.path = path;
    r.readOnly = readOnly;
    r.choiceIndex = choice;
    return r;
}

FileDialogResult ScriptedFileDialogs::cancelled() {
    return FileDialogResult{};
}

FileDialogResult ScriptedFileDialogs::open(const FileDialogRequest& request) {
    m_requests.append(request);
    if (m_open.isEmpty()) {
        ADD_FAILURE() << "unexpected open dialog: " << request.title.toStdString();
        return {};
    }
    return m_open.takeFirst();
}

FileDialogResult ScriptedFileDialogs::save(const FileDialogRequest& request) {
    m_requests.append(request);
    if (m_save.isEmpty()) {
        ADD_FAILURE() << "unexpected save dialog: " << request.title.toStdString();
        return {};
    }
    return m_save.takeFirst();
}

QString ScriptedFileDialogs::folder(QWidget*, const QString& title, const QString& initialPath) {
    FileDialogRequest request;
    request.title = title;
    request.directory = initialPath;
    m_requests.append(request);
    if (m_folder.isEmpty()) {
        ADD_FAILURE() << "unexpected folder dialog: " << title.toStdString();
        return {};
    }
    return m_folder.takeFirst();
}
