#include "ftp/ServerTrust.h"

#include "ftp/ListingParser.h"
#include "platform/Prompt.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLocale>
#include <QSaveFile>
#include <QSet>

namespace {

QString& trustDirectory() {
    static QString directory = QDir::currentPath();
    return directory;
}

QHash<QByteArray, ServerTrust::Entry>& sessionEntries() {
    static QHash<QByteArray, ServerTrust::Entry> entries;
    return entries;
}

// One DER element: where its contents start and where it ends; nullopt when it runs past the
// data (a certificate that is not DER gives no pin rather than a wrong one).
struct Element {
    unsigned char tag = 0;
    qsizetype contents = 0;
    qsizetype end = 0;
};

std::optional<Element> elementAt(const QByteArray& der, qsizetype at) {
    if (at + 2 > der.size())
        return std::nullopt;
    Element e;
    e.tag = uchar(der[at]);
    qsizetype length = uchar(der[at + 1]);
    qsizetype pos = at + 2;
    if (length & 0x80) {
        const int bytes = int(length & 0x7f);
        if (bytes == 0 || bytes > 4 || pos + bytes > der.size())
            return std::nullopt;
        length = 0;
        for (int i = 0; i < bytes; ++i)
            length = (length << 8) | uchar(der[pos++]);
    }
    e.contents = pos;
    e.end = pos + length;
    if (e.end > der.size())
        return std::nullopt;
    return e;
}

// The SubjectPublicKeyInfo of a certificate: the seventh element of tbsCertificate, counting
// the optional version ([0]) as the first.
QByteArray subjectPublicKeyInfo(const QByteArray& der) {
    auto certificate = elementAt(der, 0);
    auto tbs = certificate ? elementAt(der, certificate->contents) : std::nullopt;
    if (!tbs)
        return {};
    qsizetype at = tbs->contents;
    auto field = elementAt(der, at);
    if (field && field->tag == 0xA0) // version
        field = elementAt(der, at = field->end);
    for (int skip = 0; field && skip < 5; ++skip) // serial, signature, issuer, validity, subject
        field = elementAt(der, at = field->end);
    return field && field->tag == 0x30 ? der.mid(at, field->end - at) : QByteArray();
}

QString trustedText(const QByteArray& server, const ServerTrust::Entry& entry) {
    return QString::fromLatin1(server) + QStringLiteral(" tls ") + entry.fingerprint + u' ' +
           QString::fromLatin1(entry.pin);
}

QHash<QByteArray, ServerTrust::Entry> readTrustFile() {
    QHash<QByteArray, ServerTrust::Entry> entries;
    QFile file(ServerTrust::filePath());
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    while (!file.atEnd()) {
        const QList<QByteArray> words = file.readLine().simplified().split(' ');
        if (words.size() == 4 && words[1] == "tls")
            entries.insert(words[0], {QString::fromLatin1(words[2]), words[3]});
    }
    return entries;
}

QSet<QByteArray>& sessionHostKeys() {
    static QSet<QByteArray> keys;
    return keys;
}

// The key type an SSH key blob names in its first field ("ssh-ed25519", "ecdsa-sha2-nistp256").
QByteArray keyTypeOf(const QByteArray& blob) {
    if (blob.size() < 4)
        return {};
    const quint32 length = (quint32(uchar(blob[0])) << 24) | (quint32(uchar(blob[1])) << 16) |
                           (quint32(uchar(blob[2])) << 8) | quint32(uchar(blob[3]));
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
    const QByteArray spki = subjectPublicKeyInfo(der);
    if (spki.isEmpty())
        return {};
    return "sha256//" + QCryptographicHash::hash(spki, QCryptographicHash::Sha256).toBase64();
}

QByteArray PeerCertificate::derOfPem(const QByteArray& pem) {
    static const QByteArray begin = "-----BEGIN CERTIFICATE-----";
    static const QByteArray end = "-----END CERTIFICATE-----";
    const qsizetype from = pem.indexOf(begin);
    const qsizetype to = from < 0 ? -1 : pem.indexOf(end, from);
    if (to < 0)
        return {};
    const qsizetype body = from + begin.size();
    return QByteArray::fromBase64(pem.mid(body, to - body).simplified().replace(' ', ""));
}

void ServerTrust::setDirectory(const QString& directory) {
    trustDirectory() = directory;
}

QString ServerTrust::filePath() {
    return QDir(trustDirectory()).filePath(QStringLiteral("VantorpadTrust.txt"));
}

QString ServerTrust::knownHostsPath() {
    return QDir(trustDirectory()).filePath(QStringLiteral("VantorpadKnownHosts.txt"));
}

std::optional<ServerTrust::Entry> ServerTrust::certificateFor(const QByteArray& server) {
    if (auto it = sessionEntries().constFind(server); it != sessionEntries().constEnd())
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
    sessionEntries().insert(server, entry);
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

bool ServerTrust::hostKeyTrusted(const QByteArray& server, const QByteArray& blob) {
    return sessionHostKeys().contains(server + ' ' + blob.toBase64());
}

bool ServerTrust::trustHostKey(const QByteArray& server, const QByteArray& blob,
                               TrustChoice choice) {
    if (choice == TrustChoice::Cancel)
        return true;
    sessionHostKeys().insert(server + ' ' + blob.toBase64());
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

void ServerTrust::warnHostKeyChanged(const QString& server, const QByteArray& blob) {
    Prompt::warning(
        QStringLiteral("警告: サーバ %1 のホスト鍵が、記録されている鍵から変わっています。\n"
                       "第三者が通信を横取りしている可能性がある為、接続を中止しました。\n\n"
                       "今回のホスト鍵のフィンガープリント:\n%2\n\n"
                       "鍵の変更をサーバの管理者に確認し、正しい場合は %3 からこのサーバの行を"
                       "削除して下さい。")
            .arg(server, hostKeyFingerprint(blob), knownHostsPath()));
}

void ServerTrust::forgetSession() {
    sessionEntries().clear();
    sessionHostKeys().clear();
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
