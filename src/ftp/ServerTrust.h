#pragma once

#include <QByteArray>
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
    // The libcurl pin of the certificate's public key ("sha256//<base64>"): a connection pinned
    // to it fails in the handshake, before the password is sent, when the key changed.
    QByteArray publicKeyPin() const;

    // The first certificate of a PEM text ("-----BEGIN CERTIFICATE-----").
    static QByteArray derOfPem(const QByteArray& pem);
    // A time as OpenSSL prints it ("Dec  8 05:39:39 2026 GMT") in local time, the way the
    // program shows dates ("2026/12/08 14:39"); a text of another shape as it is.
    static QString localDate(const QString& text);
};

// What the user answered to a certificate or host key the program cannot vouch for.
enum class TrustChoice { Permanently, ThisSession, Cancel };

// The certificates and SSH host keys the user chose to trust. Permanent choices live in the file
// "VantorpadTrust.txt" beside Vantorpad.ini (never in a profile, which is copied and shown);
// choices for this session only in memory. One line per server: "<host>:<port> <kind> <value>
// [<pin>]", kind "tls" with the certificate's SHA-256 fingerprint and key pin.
class ServerTrust {
public:
    // The directory of the settings file; the trust file lives there.
    static void setDirectory(const QString& directory);
    static QString filePath();
    // The known-hosts file of SFTP connections, beside the trust file.
    static QString knownHostsPath();

    struct Entry {
        QString fingerprint;
        QByteArray pin;
    };
    static std::optional<Entry> certificateFor(const QByteArray& server);
    // Records the choice; false when a permanent choice could not be written (then it holds for
    // this session).
    [[nodiscard]] static bool trustCertificate(const QByteArray& server,
                                               const PeerCertificate& certificate,
                                               TrustChoice choice);
    // SSH host keys (the key blob as the server sends it): trusted for this session, or kept
    // in the known-hosts file, which libcurl checks.
    static bool hostKeyTrusted(const QByteArray& server, const QByteArray& blob);
    [[nodiscard]] static bool trustHostKey(const QByteArray& server, const QByteArray& blob,
                                           TrustChoice choice);
    static TrustChoice askHostKey(const QString& server, const QByteArray& blob);
    static void warnHostKeyChanged(const QString& server, const QByteArray& blob);
    // "SHA256:<base64>" as ssh shows a key.
    static QString hostKeyFingerprint(const QByteArray& blob);

    // Forgets the choices of this session (tests).
    static void forgetSession();

    // Asks through Prompt, with the buttons "常に信頼する" (Yes), "今回のみ信頼する" (No) and
    // "接続しない" (Cancel).
    static TrustChoice askCertificate(const QString& server, const PeerCertificate& certificate);
    // Says that the certificate differs from the one trusted before, and that the connection
    // was refused.
    static void warnCertificateChanged(const QString& server, const QString& trusted,
                                       const PeerCertificate& now);
};
