#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <libssh/callbacks.h>
#include <libssh/libssh.h>

#include <optional>

// The user authentication of one SSH connection: the key file the profile names, the agent's
// keys and the identities of the user's SSH setup, then the password or keyboard-interactive,
// as far as the server offers each. A pass phrase and a password that were not in the profile
// are asked for through Prompt, each at most once, and wiped when the logon is over.
class SshAuthentication {
public:
    SshAuthentication(ssh_session session, QByteArray password, QString keyFile);
    ~SshAuthentication();
    SshAuthentication(const SshAuthentication&) = delete;
    SshAuthentication& operator=(const SshAuthentication&) = delete;

    // Done when logged on; Cancelled when the user cancelled a question; else Failed, saying
    // which ways were tried and why each failed.
    Result<void> run(const QString& server, const QString& user);

private:
    enum class Step { LoggedOn, NotAccepted, Cancelled };

    Step keyFile();
    Step agentAndIdentities();
    Step password(const QString& server, const QString& user);
    Step keyboardInteractive(const QString& server, const QString& user);
    Step outcome(int rc);
    // The password of the profile, else asked for once.
    std::optional<QByteArray> passwordFor(const QString& server, const QString& user);
    static int passphraseCallback(const char* prompt, char* buffer, size_t length, int echo,
                                  int verify, void* self);
    // The pass phrase, asked for the first time a key needs one; nothing when cancelled.
    std::optional<QByteArray> passphrase();

    ssh_session m_session;
    QByteArray m_password;
    QString m_keyFile;
    std::optional<QByteArray> m_passphrase;
    bool m_passphraseAsked = false;
    bool m_passphraseUsed = false;
    bool m_passwordIsPassphrase = false; // the next pass phrase wanted is the profile's password
    bool m_passwordAsked = false;
    bool m_cancelled = false;
    QStringList m_notes; // why a way failed, for the message
    ssh_callbacks_struct m_callbacks{};
};
