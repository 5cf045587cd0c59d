#include "frame/FolderBrowser.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>

FolderBrowser::FolderBrowser(QWidget* parent, const QString& title, const QString& initialPath)
    : QFileDialog(parent, title) {
    setOption(QFileDialog::DontUseNativeDialog, true);
    setOption(QFileDialog::ShowDirsOnly, true);
    setFileMode(QFileDialog::Directory);
    m_status = new QLabel(this);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(m_status, grid->rowCount(), 0, 1, grid->columnCount());
    // The initial folder is selected and shown; afterwards the status follows the selection.
    const QFileInfo initial(initialPath);
    if (initial.isDir()) {
        setDirectory(initial.absoluteDir());
        selectFile(initial.absoluteFilePath());
    }
    showPath(initial.isDir() ? initial.absoluteFilePath() : QString());
    connect(this, &QFileDialog::currentChanged, this, &FolderBrowser::showPath);
    connect(this, &QFileDialog::directoryEntered, this, &FolderBrowser::showPath);
}

void FolderBrowser::showPath(const QString& path) {
    const QFileInfo info(path);
    m_status->setText(info.isDir() ? QDir::toNativeSeparators(info.absoluteFilePath()) : QString());
}

QString FolderBrowser::statusText() const {
    return m_status->text();
}

QString FolderBrowser::chosenFolder() const {
    const QStringList files = selectedFiles();
    return files.isEmpty() ? QString() : files.front();
}
