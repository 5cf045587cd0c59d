#include "ftp/ServerTrust.h"

#include "ftp/ListingParser.h"
#include "platform/Prompt.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QSslCertificate>
#include <QtEndian>

#include <memory>

#include <openssl/x509.h>

namespace {

QString trustedText(const QByteArray& server, const ServerTrust::Entry& entry) {
    return QString::fromLatin1(server) + QStringLiteral(" tls ") + entry.fingerprint + u' ' +
           QString::fromLatin1(entry.pin);
}

// The key type an SSH key blob names in its first field ("ssh-ed25519", "ecdsa-sha2-nistp256").
QByteArray keyTypeOf(const QByteArray& blob) {
    if (blob.size() < 4)
        return {};
    const quint32 length = qFromBigEndian<quint32>(blob.constData());
    return length <= quint32(blob.size() - 4) ? blob.mid(4, length) : QByteArray();
}

// "host" for port 22, "[host]:port" otherwise, as known-hosts files name a server.
QByteArray knownHostsName(const QByteArray& server) {
    const qsizetype colon = server.lastIndexOf(':');
    const QByteArray port = server.mid(colon + 1);
    return port == "22" ? server.left(colon) : '[' + server.left(colon) + "]:" + port;
}

// The trust question, with buttons that say what each answer does.
TrustChoice askTrust(const QString& text) {
    const PromptChoices choices{QStringLiteral("常に信頼する"), QStringLiteral("今回のみ信頼する"),
                                QStringLiteral("接続しない")};
    switch (Prompt::current().choose(text, PromptIcon::Warning, choices)) {
    case PromptAnswer::Yes:
        return TrustChoice::Permanently;
    case PromptAnswer::No:
        return TrustChoice::ThisSession;
    default:
        return TrustChoice::Cancel;
    }
}

} // namespace

QString PeerCertificate::fingerprint() const {
    return QString::fromLatin1(
        QCryptographicHash::hash(der, QCryptographicHash::Sha256).toHex(':').toUpper());
}

QByteArray PeerCertificate::publicKeyPin() const {
    // OpenSSL, as libcurl does when it checks the pin: Qt's key class reads RSA, DSA and EC keys
    // only, and a certificate with an Ed25519 key must be trusted as well.
    const auto* bytes = reinterpret_cast<const unsigned char*>(der.constData());
    const std::unique_ptr<X509, decltype(&X509_free)> x509(d2i_X509(nullptr, &bytes, der.size()),
                                                           &X509_free);
    unsigned char* spki = nullptr;
    const int length = x509 ? i2d_X509_PUBKEY(X509_get_X509_PUBKEY(x509.get()), &spki) : 0;
    if (length <= 0)
        return {};
    const QByteArray key(reinterpret_cast<const char*>(spki), length);
    OPENSSL_free(spki);
    return "sha256//" + QCryptographicHash::hash(key, QCryptographicHash::Sha256).toBase64();
}

QByteArray PeerCertificate::derOfPem(const QByteArray& pem) {
    const QList<QSslCertificate> certificates = QSslCertificate::fromData(pem, QSsl::Pem);
    return certificates.isEmpty() ? QByteArray() : certificates.front().toDer();
}

ServerTrust::ServerTrust(const QString& directory) : m_directory(directory) {}

QString ServerTrust::filePath() const {
    return QDir(m_directory).filePath(QStringLiteral("VantorpadTrust.txt"));
}

QString ServerTrust::knownHostsPath() const {
    return QDir(m_directory).filePath(QStringLiteral("VantorpadKnownHosts.txt"));
}

QHash<QByteArray, ServerTrust::Entry> ServerTrust::readTrustFile() const {
    QHash<QByteArray, Entry> entries;
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    while (!file.atEnd()) {
        const QList<QByteArray> words = file.readLine().simplified().split(' ');
        if (words.size() == 4 && words[1] == "tls")
            entries.insert(words[0], {QString::fromLatin1(words[2]), words[3]});
    }
    return entries;
}

std::optional<ServerTrust::Entry> ServerTrust::certificateFor(const QByteArray& server) const {
    if (auto it = m_sessionCertificates.constFind(server); it != m_sessionCertificates.constEnd())
        return *it;
    const auto stored = readTrustFile();
    if (auto it = stored.constFind(server); it != stored.constEnd())
        return *it;
    return std::nullopt;
}

bool ServerTrust::trustCertificate(const QByteArray& server, const PeerCertificate& certificate,
                                   TrustChoice choice) {
    if (choice == TrustChoice::Cancel)
        return true;
    const Entry entry{certificate.fingerprint(), certificate.publicKeyPin()};
    m_sessionCertificates.insert(server, entry);
    if (choice != TrustChoice::Permanently)
        return true;
    // The whole file is written anew beside the old one and replaces it only when complete.
    auto stored = readTrustFile();
    stored.insert(server, entry);
    QByteArray text;
    for (auto it = stored.constBegin(); it != stored.constEnd(); ++it)
        text += trustedText(it.key(), it.value()).toLatin1() + '\n';
    QSaveFile file(filePath());
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
}

bool ServerTrust::trustedThisSession(const QByteArray& server, const QByteArray& blob) const {
    return m_sessionHostKeys.contains(server + ' ' + blob.toBase64());
}

HostKeyStatus ServerTrust::hostKeyStatus(const QByteArray& server, const QByteArray& blob) const {
    if (trustedThisSession(server, blob))
        return HostKeyStatus::Known;
    QFile file(knownHostsPath());
    if (!file.open(QIODevice::ReadOnly))
        return HostKeyStatus::Unknown;
    const QByteArray name = knownHostsName(server);
    const QByteArray type = keyTypeOf(blob);
    const QByteArray key = blob.toBase64();
    bool changed = false;
    while (!file.atEnd()) {
        // "<names> <type> <base64> [comment]"; hashed names and marked lines are not ours.
        const QList<QByteArray> words = file.readLine().simplified().split(' ');
        if (words.size() < 3 || !words[0].split(',').contains(name))
            continue;
        if (words[1] == type && words[2] == key)
            return HostKeyStatus::Known;
        changed = changed || words[1] == type;
    }
    return changed ? HostKeyStatus::Changed : HostKeyStatus::Unknown;
}

bool ServerTrust::trustHostKey(const QByteArray& server, const QByteArray& blob,
                               TrustChoice choice) {
    if (choice == TrustChoice::Cancel)
        return true;
    m_sessionHostKeys.insert(server + ' ' + blob.toBase64());
    if (choice != TrustChoice::Permanently)
        return true;
    QFile old(knownHostsPath());
    QByteArray text = old.open(QIODevice::ReadOnly) ? old.readAll() : QByteArray();
    if (!text.isEmpty() && !text.endsWith('\n'))
        text += '\n';
    text += knownHostsName(server) + ' ' + keyTypeOf(blob) + ' ' + blob.toBase64() + '\n';
    QSaveFile file(knownHostsPath());
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
}

QString ServerTrust::hostKeyFingerprint(const QByteArray& blob) {
    QByteArray hash = QCryptographicHash::hash(blob, QCryptographicHash::Sha256).toBase64();
    while (hash.endsWith('='))
        hash.chop(1);
    return QStringLiteral("SHA256:") + QString::fromLatin1(hash);
}

TrustChoice ServerTrust::askHostKey(const QString& server, const QByteArray& blob) {
    const QString text =
        QStringLiteral("サーバ %1 のホスト鍵は、まだ記録されていません。\n\n"
                       "鍵の種類: %2\nフィンガープリント:\n%3\n\n"
                       "このホスト鍵を信頼しますか？")
            .arg(server, QString::fromLatin1(keyTypeOf(blob)), hostKeyFingerprint(blob));
    return askTrust(text);
}

void ServerTrust::warnHostKeyChanged(const QString& server, const QByteArray& blob) const {
    Prompt::warning(
        QStringLiteral("警告: サーバ %1 のホスト鍵が、記録されている鍵から変わっています。\n"
                       "第三者が通信を横取りしている可能性がある為、接続を中止しました。\n\n"
                       "今回のホスト鍵のフィンガープリント:\n%2\n\n"
                       "鍵の変更をサーバの管理者に確認し、正しい場合は %3 からこのサーバの行を"
                       "削除して下さい。")
            .arg(server, hostKeyFingerprint(blob), knownHostsPath()));
}

TrustChoice ServerTrust::askCertificate(const QString& server, const PeerCertificate& c) {
    const QString text =
        QStringLiteral("サーバ %1 の証明書を確認出来ませんでした。\n"
                       "(自己署名、期限切れ、または別の名前の証明書です)\n\n"
                       "SHA-256 フィンガープリント:\n%2\n"
                       "サブジェクト: %3\n発行者: %4\n有効期間: %5 ～ %6\n\n"
                       "この証明書を信頼しますか？")
            .arg(server, c.fingerprint(), c.subject, c.issuer, c.notBefore, c.notAfter);
    return askTrust(text);
}

void ServerTrust::warnCertificateChanged(const QString& server, const QString& trusted,
                                         const PeerCertificate& now) {
    Prompt::warning(
        QStringLiteral("警告: サーバ %1 の証明書が、信頼した時の証明書から変わっています。\n"
                       "第三者が通信を横取りしている可能性がある為、接続を中止しました。\n\n"
                       "信頼した証明書の SHA-256 フィンガープリント:\n%2\n"
                       "今回の証明書の SHA-256 フィンガープリント:\n%3\n\n"
                       "証明書の変更をサーバの管理者に確認して下さい。")
            .arg(server, trusted,
                 now.isNull() ? QStringLiteral("(取得出来ませんでした)") : now.fingerprint()));
}

QString PeerCertificate::localDate(const QString& text) {
    const QStringList parts = text.simplified().split(u' ');
    if (parts.size() != 5 || parts[4] != u"GMT")
        return text;
    const QDateTime read =
        QLocale::c().toDateTime(parts.mid(0, 4).join(u' '), QStringLiteral("MMM d HH:mm:ss yyyy"));
    if (!read.isValid())
        return text;
    const QDateTime utc(read.date(), read.time(), Qt::UTC);
    return ListingParser::localFromUtc(utc.toSecsSinceEpoch()).text();
}
