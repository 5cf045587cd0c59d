#include "transfer/WindowNameDialogs.h"

#include "transfer/CSvMakeDir.h"
#include "transfer/CSvRename.h"

std::optional<QString> WindowNameDialogs::askRename(const QString& oldName) {
    CSvRename dialog(oldName, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.newName();
}

std::optional<QString> WindowNameDialogs::askDirectoryName(const QStringList& existing) {
    CSvMakeDir dialog(existing, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.name();
}
