#pragma once

#include <QFileDialog>

class QLabel;

// The folder browser: starts on an initial folder, shows the selected folder's path as its
// status text while the user moves through the tree.
class FolderBrowser : public QFileDialog {
    Q_OBJECT
public:
    FolderBrowser(QWidget* parent, const QString& title, const QString& initialPath);

    QString statusText() const;
    // The chosen folder after OK.
    QString chosenFolder() const;

private:
    void showPath(const QString& path);

    QLabel* m_status = nullptr;
};
