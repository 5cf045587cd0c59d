#pragma once

#include <QDialog>

#include <memory>

struct ServerDialogContext;
struct ServerProfile;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "サーバ保存確認": confirms a save to the server and lets the user change the directory (through
// the server list in directory mode), the file name and the code system. The caller fills the
// profile copy and the file name, runs it, and after OK reads the directory, the file name and
// the profile copy, whose directory is the one shown and whose code system is the one chosen.
class CSaveSv : public QDialog {
    Q_OBJECT
public:
    CSaveSv(ServerDialogContext& context, const ServerProfile& profile, const QString& fileName,
            QWidget* parent = nullptr);
    ~CSaveSv() override;

    const ServerProfile& profile() const { return *m_profile; }
    QString directory() const { return m_directory; }
    QString fileName() const { return m_fileName; }
    int code() const { return m_code; }

    void accept() override;

    // Browses the server for another directory ("参照").
    void browse();

private:
    void readControls();
    void showValues();

    ServerDialogContext& m_context;
    std::unique_ptr<ServerProfile> m_profile; // never null
    QString m_directory;
    QString m_fileName;
    int m_code = 0;

    QLabel* m_question = nullptr;
    QLineEdit* m_directoryEdit = nullptr;
    QPushButton* m_browse = nullptr;
    QLineEdit* m_fileNameEdit = nullptr;
    QRadioButton* m_euc = nullptr;
    QRadioButton* m_sjis = nullptr;
    QRadioButton* m_utf8 = nullptr;
};
