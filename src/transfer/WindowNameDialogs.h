#pragma once

#include "transfer/FileActions.h"

class QWidget;

// The rename and make-directory dialogs of the file actions, over the window that runs them.
class WindowNameDialogs : public NameDialogs {
public:
    explicit WindowNameDialogs(QWidget* parent) : m_parent(parent) {}

    std::optional<QString> askRename(const QString& oldName) override;
    std::optional<QString> askDirectoryName(const QStringList& existing) override;

private:
    QWidget* m_parent;
};
