#pragma once

#include "options/ProfileWorkingCopy.h"
#include "options/StorableText.h"

#include <QWidget>

struct AppSettings;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class ServerTrust;

// Options page "ＦＴＰ": the five server profiles, edited one at a time in a working copy, the
// default profile, the connection test and the server directory tree. Storing a profile writes
// the three general server settings into the settings at once; the profiles themselves reach
// them only through store().
class CFtpOpt : public QWidget {
    Q_OBJECT
public:
    explicit CFtpOpt(QWidget* parent = nullptr);

    static QString tabTitle() { return QStringLiteral("ＦＴＰ"); }

    // Takes the profiles and server settings of `settings`, which StoreProfile() writes to from
    // then on, and the network settings, debug-log switch and trust every server task here
    // connects with: those in force when the page was loaded.
    void load(AppSettings& settings, bool ftpDebugLog, ServerTrust& trust);
    void takeControls();
    void LoadProfile(int index);
    void StoreProfile();
    // Replaces the five profiles of the settings with the working copy.
    void store(AppSettings& settings) const;

    const ProfileWorkingCopy& workingCopy() const { return m_copy; }
    const ProfileFields& fields() const { return m_fields; }

    // The texts of the shown profile as last taken from the controls.
    QList<PageText> texts() const;
    // Refuses a port past the last one, which only a hand-edited file can bring, with its
    // message and returns the port field; nullptr when the port is fine.
    QWidget* refusePortOutOfRange();

    void clearProfile();
    void testConnection();
    void chooseServerDirectory();

private:
    void showFields();
    void applyBackupRule();
    void profileChosen(int index);
    void protocolChosen(int protocol);
    void showProtocol();
    void defaultChosen(int index);
    ServerProfile profileOfFields() const;
    bool checkLogOnFields() const;
    // Refuses a text that cannot be stored unchanged and, when the fields are about to be used
    // for a connection, a port out of range; the cursor goes into the refused field.
    enum class PortCheck { Skip, Check };
    bool fieldsUsable(PortCheck port);

    AppSettings* m_settings = nullptr;
    NetworkSettings m_network;
    bool m_debugLog = false;
    ServerTrust* m_trust = nullptr;
    ProfileWorkingCopy m_copy;
    ProfileFields m_fields;
    int m_defaultDisp = 1;
    int m_ftpUse = 1;

    QComboBox* m_profileBox = nullptr;
    QLineEdit* m_server = nullptr;
    QLineEdit* m_port = nullptr;
    QComboBox* m_protocol = nullptr;
    QLabel* m_defaultPort = nullptr;
    QLineEdit* m_keyFile = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_passwd = nullptr;
    QLineEdit* m_dir = nullptr;
    QRadioButton* m_euc = nullptr;
    QRadioButton* m_sjis = nullptr;
    QRadioButton* m_utf8 = nullptr;
    QCheckBox* m_update = nullptr;
    QCheckBox* m_dirChg = nullptr;
    QCheckBox* m_special = nullptr;
    QCheckBox* m_backMode = nullptr;
    QComboBox* m_backExt = nullptr;
    QCheckBox* m_svDel = nullptr;
    QCheckBox* m_nameSmall = nullptr;
    QCheckBox* m_safeUpload = nullptr;
    QComboBox* m_defaultBox = nullptr;
    QCheckBox* m_defaultDispBox = nullptr;
    QCheckBox* m_ftpUseBox = nullptr;
};
