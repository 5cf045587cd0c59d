#include "transfer/CServerTree.h"

#include "ftp/CFtpClient.h"
#include "transfer/ServerDirTree.h"
#include "widgets/DialogButtons.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

CServerTree::CServerTree(CFtpClient& client, const QString& startDirectory, int codeSystem,
                         bool spaceDelimited, QWidget* parent)
    : QDialog(parent), m_client(client), m_directory(startDirectory) {
    setWindowTitle(QStringLiteral("サーバディレクトリ"));
    auto* layout = new QVBoxLayout(this);
    m_tree = new ServerDirTree(this);
    m_tree->setObjectName(QStringLiteral("Tree"));
    m_tree->setMinimumSize(280, 300);
    layout->addWidget(m_tree);
    layout->addWidget(addOkCancelButtons(this));

    const bool wasConnected = m_client.isConnected();
    const Result<> opened = wasConnected ? Result<>::done() : m_client.OpenSession();
    m_ownsConnection = !wasConnected && opened.ok();
    m_tree->fill(opened.ok() ? &m_client : nullptr, startDirectory, codeSystem, spaceDelimited,
                 opened.message());
}

CServerTree::~CServerTree() {
    if (m_ownsConnection)
        m_client.CloseSession();
}

void CServerTree::accept() {
    // The message item of a tree without connection names no directory.
    if (m_tree->hasConnection()) {
        const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
        const QString path = selected.isEmpty() ? QString() : m_tree->itemPath(selected.front());
        if (!path.isEmpty())
            m_directory = path;
    }
    QDialog::accept();
}
