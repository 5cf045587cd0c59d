#include "ftp/SshAuthentication.h"

#include "ftp/SshHandles.h"
#include "platform/Prompt.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace {

// A secret goes from memory as soon as it is no longer needed.
void wipe(QByteArray& secret) {
    secret.fill('\0');
    secret.clear();
}

// Callbacks with nothing in them: what the session keeps once the logon's own are gone.
ssh_callbacks_struct* noCallbacks() {
    static ssh_callbacks_struct none = [] {
        ssh_callbacks_struct c{};
        ssh_callbacks_init(&c);
        return c;
    }();
    return &none;
}

} // namespace

SshAuthentication::SshAuthentication(ssh_session session, QByteArray password, QString keyFile)
    : m_session(session), m_password(std::move(password)), m_keyFile(std::move(keyFile)) {
    ssh_callbacks_init(&m_callbacks);
    m_callbacks.userdata = this;
    m_callbacks.auth_function = &SshAuthentication::passphraseCallback;
    ssh_set_callbacks(m_session, &m_callbacks);
}

SshAuthentication::~SshAuthentication() {
    ssh_set_callbacks(m_session, noCallbacks());
    wipe(m_password);
    if (m_passphrase)
        wipe(*m_passphrase);
}

Result<void> SshAuthentication::run(const QString& server, const QString& user) {
    int rc = ssh_userauth_none(m_session, nullptr);
    if (rc == SSH_AUTH_SUCCESS)
        return Result<void>::done();
    if (rc == SSH_AUTH_ERROR)
        return Result<void>::failed(QString::fromUtf8(ssh_get_error(m_session)));
    const int methods = ssh_userauth_list(m_session, nullptr);
    Step step = Step::NotAccepted;
    if (methods & SSH_AUTH_METHOD_PUBLICKEY) {
        if (!m_keyFile.isEmpty())
            step = keyFile();
        if (step == Step::NotAccepted)
            step = agentAndIdentities();
    }
    if (step == Step::NotAccepted && (methods & SSH_AUTH_METHOD_PASSWORD))
        step = password(server, user);
    if (step == Step::NotAccepted && (methods & SSH_AUTH_METHOD_INTERACTIVE))
        step = keyboardInteractive(server, user);
    if (step == Step::LoggedOn)
        return Result<void>::done();
    if (step == Step::Cancelled)
        return Result<void>::cancelled();
    QStringList offered;
    if (methods & SSH_AUTH_METHOD_PUBLICKEY)
        offered << QStringLiteral("公開鍵");
    if (methods & SSH_AUTH_METHOD_PASSWORD)
        offered << QStringLiteral("パスワード");
    if (methods & SSH_AUTH_METHOD_INTERACTIVE)
        offered << QStringLiteral("キーボード対話");
    QString text = QStringLiteral("サーバにログオン出来ませんでした。(ユーザ %1)\n"
                                  "サーバが受け付ける方法: %2")
                       .arg(user, offered.isEmpty() ? QStringLiteral("なし")
                                                    : offered.join(QStringLiteral("、")));
    if (!m_notes.isEmpty())
        text += u'\n' + m_notes.join(u'\n');
    return Result<void>::failed(text);
}

SshAuthentication::Step SshAuthentication::outcome(int rc) {
    if (rc == SSH_AUTH_SUCCESS)
        return Step::LoggedOn;
    return m_cancelled ? Step::Cancelled : Step::NotAccepted;
}

SshAuthentication::Step SshAuthentication::keyFile() {
    const QByteArray path = QFile::encodeName(m_keyFile);
    // A key the server does not take is not worth a pass phrase: its public half is asked
    // about first when it lies beside it.
    ssh_key raw = nullptr;
    if (QFileInfo(m_keyFile + QStringLiteral(".pub")).isFile() &&
        ssh_pki_import_pubkey_file((path + ".pub").constData(), &raw) == SSH_OK) {
        const SshKeyHandle publicKey(raw);
        if (ssh_userauth_try_publickey(m_session, nullptr, publicKey.get()) != SSH_AUTH_SUCCESS) {
            m_notes << QStringLiteral("サーバが秘密鍵 %1 を受け付けませんでした。").arg(m_keyFile);
            return Step::NotAccepted;
        }
    }
    // A profile that names a key keeps its pass phrase in the password, as it always could;
    // when that does not open the key, the pass phrase is asked for.
    m_passwordIsPassphrase = !m_password.isEmpty();
    SshKeyHandle key;
    for (int attempt = 0; attempt < 2 && !key; ++attempt) {
        const bool fromProfile = m_passwordIsPassphrase;
        m_passphraseUsed = false;
        raw = nullptr;
        const int imported = ssh_pki_import_privkey_file(
            path.constData(), nullptr, &SshAuthentication::passphraseCallback, this, &raw);
        key.reset(raw);
        if (m_cancelled)
            return Step::Cancelled;
        if (imported == SSH_OK)
            break;
        key.reset();
        if (!m_passphraseUsed || !fromProfile) {
            m_notes << (m_passphraseUsed
                            ? QStringLiteral("秘密鍵 %1 のパスフレーズが違います。")
                            : QStringLiteral("%1 は秘密鍵のファイルではないか、読み込めません。"))
                           .arg(m_keyFile);
            return Step::NotAccepted;
        }
    }
    if (ssh_userauth_publickey(m_session, nullptr, key.get()) == SSH_AUTH_SUCCESS)
        return Step::LoggedOn;
    m_notes << QStringLiteral("サーバが秘密鍵 %1 を受け付けませんでした。").arg(m_keyFile);
    return Step::NotAccepted;
}

SshAuthentication::Step SshAuthentication::agentAndIdentities() {
    // The agent's keys first, then the config file's IdentityFile and the default id_* keys;
    // an encrypted one asks through the pass phrase callback.
    return outcome(ssh_userauth_publickey_auto(m_session, nullptr, nullptr));
}

std::optional<QByteArray> SshAuthentication::passwordFor(const QString& server,
                                                         const QString& user) {
    if (!m_password.isEmpty())
        return m_password;
    if (m_passwordAsked)
        return std::nullopt;
    m_passwordAsked = true;
    const auto typed = Prompt::current().askSecret(
        QStringLiteral("%1@%2 のパスワードを入力して下さい。").arg(user, server));
    if (!typed) {
        m_cancelled = true;
        return std::nullopt;
    }
    m_password = typed->toUtf8();
    return m_password;
}

SshAuthentication::Step SshAuthentication::password(const QString& server, const QString& user) {
    const auto secret = passwordFor(server, user);
    if (!secret)
        return m_cancelled ? Step::Cancelled : Step::NotAccepted;
    const Step step = outcome(ssh_userauth_password(m_session, nullptr, secret->constData()));
    if (step == Step::NotAccepted)
        m_notes << QStringLiteral("パスワードが違います。");
    return step;
}

SshAuthentication::Step SshAuthentication::keyboardInteractive(const QString& server,
                                                               const QString& user) {
    int rc = ssh_userauth_kbdint(m_session, nullptr, nullptr);
    // A server could ask forever; a logon has a few rounds at most.
    for (int round = 0; rc == SSH_AUTH_INFO && round < 8; ++round) {
        const int prompts = ssh_userauth_kbdint_getnprompts(m_session);
        for (int i = 0; i < prompts; ++i) {
            char echo = 0;
            ssh_userauth_kbdint_getprompt(m_session, unsigned(i), &echo);
            // Only a hidden answer is a password; anything else the server asks is not known.
            const auto secret =
                echo ? std::optional<QByteArray>(QByteArray()) : passwordFor(server, user);
            if (!secret)
                return m_cancelled ? Step::Cancelled : Step::NotAccepted;
            ssh_userauth_kbdint_setanswer(m_session, unsigned(i), secret->constData());
        }
        rc = ssh_userauth_kbdint(m_session, nullptr, nullptr);
    }
    return outcome(rc);
}

std::optional<QByteArray> SshAuthentication::passphrase() {
    if (!m_passphraseAsked) {
        m_passphraseAsked = true;
        const auto typed = Prompt::current().askSecret(
            QStringLiteral("秘密鍵のパスフレーズを入力して下さい。\n(%1)")
                .arg(m_keyFile.isEmpty() ? QStringLiteral("ssh の鍵") : m_keyFile));
        if (!typed)
            m_cancelled = true;
        else
            m_passphrase = typed->toUtf8();
    }
    return m_passphrase;
}

int SshAuthentication::passphraseCallback(const char*, char* buffer, size_t length, int, int,
                                          void* self) {
    auto* auth = static_cast<SshAuthentication*>(self);
    std::optional<QByteArray> secret;
    if (auth->m_passwordIsPassphrase) {
        auth->m_passwordIsPassphrase = false; // tried once
        secret = auth->m_password;
    } else {
        secret = auth->passphrase();
    }
    if (!secret || size_t(secret->size()) >= length)
        return -1;
    auth->m_passphraseUsed = true;
    std::memcpy(buffer, secret->constData(), size_t(secret->size()));
    buffer[secret->size()] = '\0';
    return 0;
}
