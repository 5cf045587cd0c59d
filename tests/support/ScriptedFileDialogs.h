#pragma once

#include "platform/FileDialogs.h"
#include "platform/ScopedOverride.h"

#include <QList>

// FileDialogs for tests: answers from a queue, records every request it was shown, and fails
// the running test on a dialog it was not told to expect. Installs itself for its lifetime.
class ScriptedFileDialogs : public FileDialogs {
public:
    ScriptedFileDialogs();
    ~ScriptedFileDialogs() override;

    void expectOpen(const FileDialogResult& result) { m_open.append(result); }
    void expectSave(const FileDialogResult& result) { m_save.append(result); }
    void expectFolder(const QString& folder) { m_folder.append(folder); }
    // Convenience: OK with `path`.
    static FileDialogResult chose(const QString& path, bool readOnly = false, int choice = 0);
    static FileDialogResult cancelled();

    FileDialogResult open(const FileDialogRequest& request) override;
    FileDialogResult save(const FileDialogRequest& request) override;
    QString folder(QWidget* parent, const QString& title, const QString& initialPath) override;

    const QList<FileDialogRequest>& requests() const { return m_requests; }

private:
    QList<FileDialogResult> m_open;
    QList<FileDialogResult> m_save;
    QList<QString> m_folder;
    QList<FileDialogRequest> m_requests;
    ScopedOverride<FileDialogs*> m_installed{FileDialogs::install, this};
};
