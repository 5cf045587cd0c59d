#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

#include <optional>

// A server certificate as the TLS handshake presented it, in the words the trust question
// shows: fingerprint, subject, issuer and validity.
struct PeerCertificate {
    QByteArray der;
    QString subject;
    QString issuer;
    QString notBefore;
    QString notAfter;

    bool isNull() const { return der.isEmpty(); }
    // SHA-256 of the certificate, "AB:CD:..." as browsers and openssl show it.
    QString fingerprint() const;
    // The libcurl pin of the certificate's public key ("sha256//<base64>" of its
    // SubjectPublicKeyInfo): a connection pinned to it fails in the handshake, before the
    // password is sent, when the key changed. Empty when the certificate cannot be read.
    QByteArray publicKeyPin() const;

    // The first certificate of a PEM text ("-----BEGIN CERTIFICATE-----").
    static QByteArray derOfPem(const QByteArray& pem);
    // A time as OpenSSL prints it ("Dec  8 05:39:39 2026 GMT") in local time, the way the
    // program shows dates ("2026/12/08 14:39"); a text of another shape as it is.
    static QString localDate(const QString& text);
};

// What the user answered to a certificate or host key the program cannot vouch for.
enum class TrustChoice { Permanently, ThisSession, Cancel };

// What the user's earlier choices say about a server's SSH host key.
enum class HostKeyStatus {
    Known,   // trusted permanently or for this session
    Unknown, // never seen: ask (askHostKey)
    Changed, // another key of the same type was trusted: refuse (warnHostKeyChanged)
};

// The certificates and SSH host keys the user chose to trust, for one run of the program:
// the application owns one and hands it to every client it makes. Permanent choices live in
// files in the directory of the settings (never in a profile, which is copied and shown);
// choices for this session only in this object.
//
// Certificates: "VantorpadTrust.txt", one line per server: "<host>:<port> tls <SHA-256
// fingerprint> <pin>". Host keys: "VantorpadKnownHosts.txt" in the known-hosts format of
// OpenSSH ("host" for port 22, "[host]:port" otherwise), which an SSH library can check
// itself; a transport that does so asks trustedThisSession() about a key it does not find
// there. Servers are named "host:port" throughout.
class ServerTrust {
public:
    explicit ServerTrust(const QString& directory);
    ServerTrust(const ServerTrust&) = delete;
    ServerTrust& operator=(const ServerTrust&) = delete;

    QString filePath() const;
    QString knownHostsPath() const;

    struct Entry {
        QString fingerprint;
        QByteArray pin;
    };
    std::optional<Entry> certificateFor(const QByteArray& server) const;
    // Records the choice; false when a permanent choice could not be written (then it holds for
    // this session).
    [[nodiscard]] bool trustCertificate(const QByteArray& server,
                                        const PeerCertificate& certificate, TrustChoice choice);

    // SSH host keys, as the key blob the server sends.
    HostKeyStatus hostKeyStatus(const QByteArray& server, const QByteArray& blob) const;
    bool trustedThisSession(const QByteArray& server, const QByteArray& blob) const;
    // Records the choice; false when a permanent choice could not be written (then it holds for
    // this session).
    [[nodiscard]] bool trustHostKey(const QByteArray& server, const QByteArray& blob,
                                    TrustChoice choice);
    static TrustChoice askHostKey(const QString& server, const QByteArray& blob);
    // Says that the key differs from the one recorded, and where to remove the old one.
    void warnHostKeyChanged(const QString& server, const QByteArray& blob) const;
    // "SHA256:<base64>" as ssh shows a key.
    static QString hostKeyFingerprint(const QByteArray& blob);

    // Asks through Prompt, with the buttons "常に信頼する" (Yes), "今回のみ信頼する" (No) and
    // "接続しない" (Cancel).
    static TrustChoice askCertificate(const QString& server, const PeerCertificate& certificate);
    // Says that the certificate differs from the one trusted before, and that the connection
    // was refused.
    static void warnCertificateChanged(const QString& server, const QString& trusted,
                                       const PeerCertificate& now);

private:
    QHash<QByteArray, Entry> readTrustFile() const;

    QString m_directory;
    QHash<QByteArray, Entry> m_sessionCertificates;
    QSet<QByteArray> m_sessionHostKeys; // "<server> <base64 blob>"
};
