#pragma once

#include <QDialog>

class CFtpClient;
class ServerDirTree;

// "サーバディレクトリ": picks a server directory from a tree. The caller gives the client and a
// start directory and reads the chosen directory after OK. The dialog uses the client's open
// connection, or logs on itself and logs off again when it closes.
class CServerTree : public QDialog {
    Q_OBJECT
public:
    CServerTree(CFtpClient& client, const QString& startDirectory, int codeSystem = 1,
                bool spaceDelimited = false, QWidget* parent = nullptr);
    ~CServerTree() override;

    // The start directory, replaced by the selected item's path on OK.
    QString directory() const { return m_directory; }
    ServerDirTree* tree() const { return m_tree; }

    void accept() override;

private:
    CFtpClient& m_client;
    QString m_directory;
    bool m_ownsConnection = false;
    ServerDirTree* m_tree = nullptr;
};
