#pragma once

#include <QByteArray>
#include <QTreeWidget>

class CFtpClient;

// A tree of server directories. The root item is the directory the connection is in; an item's
// children are listed from the server afresh each time it is expanded, and an item whose
// directory holds anything gets a placeholder child so that it shows an expand button. Without
// a connection the tree holds one item that says so, with the reason the logon gave (the
// server's reply or the transport's text) as the item's tool tip.
class ServerDirTree : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int NameRole = Qt::UserRole; // the server's bytes of the item's name
    static QString noConnectionText() {
        return QStringLiteral("ＦＴＰセッションが確立されていません。");
    }

    explicit ServerDirTree(QWidget* parent = nullptr);

    // Fills the tree from `connection` (nullptr: no connection, for the reason in
    // `noConnectionDetail`), then walks down to `startDirectory` and selects the deepest item
    // found on the way.
    void fill(CFtpClient* connection, const QString& startDirectory, int codeSystem,
              bool spaceDelimited, const QString& noConnectionDetail = QString());

    bool hasConnection() const { return m_connection != nullptr; }
    QString rootText() const { return m_rootText; }
    // The server path of an item: the root text, then the names below the root.
    QString itemPath(const QTreeWidgetItem* item) const;

private:
    void expandItem(QTreeWidgetItem* item);
    QByteArray itemPathBytes(const QTreeWidgetItem* item) const;
    QTreeWidgetItem* addDirectory(QTreeWidgetItem* parent, const QByteArray& name);
    void walkTo(const QString& startDirectory);

    CFtpClient* m_connection = nullptr;
    QString m_rootText;
    QByteArray m_rootBytes;
    int m_codeSystem = 1;
    bool m_spaceDelimited = false;
    bool m_filling = false;
};
