#include "transfer/ServerDirTree.h"

#include "ftp/CFtpClient.h"
#include "platform/BusyGuard.h"
#include "transfer/ServerListLines.h"
#include "transfer/ServerPaths.h"

#include <QHeaderView>
#include <QStyle>

namespace {

const QString Placeholder = QStringLiteral("1");

QByteArray lastWord(const QByteArray& name) {
    return name.mid(name.lastIndexOf(' ') + 1);
}

} // namespace

ServerDirTree::ServerDirTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setIconSize(QSize(16, 15));
    // A long name or message scrolls instead of being cut short with "...".
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (!m_filling)
            expandItem(item);
    });
}

void ServerDirTree::fill(CFtpClient* connection, const QString& startDirectory, int codeSystem,
                         bool spaceDelimited, const QString& noConnectionDetail) {
    BusyGuard busy;
    clear();
    m_connection = connection;
    m_codeSystem = codeSystem;
    m_spaceDelimited = spaceDelimited;
    if (!m_connection) {
        m_rootText = noConnectionText();
        auto* item = new QTreeWidgetItem(this, {m_rootText});
        item->setIcon(0, style()->standardIcon(QStyle::SP_MessageBoxWarning));
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
        item->setToolTip(0, noConnectionDetail);
        setRootIsDecorated(false);
        resizeColumnToContents(0);
        return;
    }
    m_rootBytes = m_connection->currentDirectory();
    m_rootText = ServerNames::directoryText(m_rootBytes, m_codeSystem);
    auto* root = new QTreeWidgetItem(this, {m_rootText});
    root->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
    expandItem(root);
    m_filling = true;
    root->setExpanded(true);
    m_filling = false;
    setRootIsDecorated(root->childCount() > 0);
    if (!startDirectory.isEmpty())
        walkTo(startDirectory);
}

void ServerDirTree::walkTo(const QString& startDirectory) {
    QTreeWidgetItem* current = topLevelItem(0);
    // A start directory inside the root is walked from the root down.
    QString below = startDirectory;
    if (m_rootText != QStringLiteral("/") && below.startsWith(m_rootText + u'/'))
        below = below.mid(m_rootText.size());
    else if (below == m_rootText)
        below.clear();
    const QStringList components = below.split(u'/', Qt::SkipEmptyParts);
    for (const QString& component : components) {
        const QByteArray wanted = ServerNames::directoryBytes(component, m_codeSystem);
        QTreeWidgetItem* found = nullptr;
        for (int i = 0; i < current->childCount() && !found; ++i) {
            QTreeWidgetItem* child = current->child(i);
            if (child->data(0, NameRole).toByteArray() == wanted)
                found = child;
        }
        if (!found)
            break;
        current = found;
        if (current->childCount() == 0)
            break;
        expandItem(current);
        m_filling = true;
        current->setExpanded(true);
        m_filling = false;
    }
    QFont bold = current->font(0);
    bold.setBold(true);
    current->setFont(0, bold);
    setCurrentItem(current);
    scrollToItem(current);
}

void ServerDirTree::expandItem(QTreeWidgetItem* item) {
    if (!m_connection)
        return;
    BusyGuard busy;
    // No second expansion may start while this one waits for the server.
    setEnabled(false);
    qDeleteAll(item->takeChildren());
    const QByteArray pattern =
        item->parent() == nullptr ? QByteArray("./*") : itemPathBytes(item) + "/*";
    ServerFileList listed;
    // A directory that cannot be listed shows no children.
    [[maybe_unused]] const Result<> read =
        m_connection->GetServerFileList(pattern, listed, ServerFileKindAll);
    for (const ServerFileEntry& entry : listed) {
        if (entry.directory != 0)
            addDirectory(item, m_spaceDelimited ? lastWord(entry.name) : entry.name);
    }
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem* child = item->child(i);
        ServerFileList inside;
        if (m_connection->GetServerFileList(itemPathBytes(child) + "/*", inside, ServerFileKindAll)
                .ok() &&
            !inside.empty())
            new QTreeWidgetItem(child, {Placeholder});
    }
    setEnabled(true);
}

QTreeWidgetItem* ServerDirTree::addDirectory(QTreeWidgetItem* parent, const QByteArray& name) {
    auto* item = new QTreeWidgetItem(parent, {ServerNames::shown(name, m_codeSystem)});
    item->setData(0, NameRole, name);
    item->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
    return item;
}

QByteArray ServerDirTree::itemPathBytes(const QTreeWidgetItem* item) const {
    QList<QByteArray> names;
    for (const QTreeWidgetItem* i = item; i->parent() != nullptr; i = i->parent())
        names.prepend(i->data(0, NameRole).toByteArray());
    return ServerPaths::treeItemPath(m_rootBytes, names);
}

QString ServerDirTree::itemPath(const QTreeWidgetItem* item) const {
    if (!item)
        return {};
    if (!m_connection)
        return item->text(0);
    return ServerNames::directoryText(itemPathBytes(item), m_codeSystem);
}
