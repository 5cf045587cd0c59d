#include "ftp/ServerTrust.h"
#include "TempDir.h"
#include "TrustPlace.h"

#include <QFile>
#include <QProcess>
#include <QtEndian>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

// Runs a shell pipeline of openssl commands in `dir`; its standard output.
QByteArray shell(const QString& dir, const QString& command) {
    QProcess sh;
    sh.setWorkingDirectory(dir);
    sh.start(QStringLiteral("sh"), {QStringLiteral("-c"), command});
    if (!sh.waitForFinished(30000) || sh.exitCode() != 0)
        ADD_FAILURE() << command.toStdString() << ": " << sh.readAllStandardError().toStdString();
    return sh.readAllStandardOutput();
}

QByteArray sshString(const QByteArray& bytes) {
    QByteArray length(4, '\0');
    qToBigEndian(quint32(bytes.size()), length.data());
    return length + bytes;
}

// An SSH public key blob of `type` whose key bytes are all `fill`.
QByteArray hostKey(const QByteArray& type, char fill) {
    return sshString(type) + sshString(QByteArray(32, fill));
}

} // namespace

// The pin is what libcurl checks in the handshake and what the trust file holds: it must be
// the one openssl gives for the certificate's key, for each kind of key a server may have.
TEST(ServerTrust, CertificatePinAndFingerprintAreOpensslsForEveryKindOfKey) {
    for (const char* key : {"rsa:2048", "ec -pkeyopt ec_paramgen_curve:prime256v1", "ed25519"}) {
        SCOPED_TRACE(key);
        TempDir dir;
        shell(dir.path(), QStringLiteral("openssl req -x509 -newkey %1 -nodes -keyout key.pem "
                                         "-out cert.pem -days 2 -subj /CN=localhost")
                              .arg(QLatin1String(key)));
        const QByteArray pin =
            "sha256//" + shell(dir.path(), QStringLiteral("openssl x509 -in cert.pem -noout "
                                                          "-pubkey | openssl pkey -pubin -outform "
                                                          "DER | openssl dgst -sha256 -binary | "
                                                          "openssl base64 -A"));
        const QByteArray fingerprint =
            shell(dir.path(), QStringLiteral("openssl x509 -in cert.pem -noout -fingerprint "
                                             "-sha256"))
                .trimmed();
        PeerCertificate certificate;
        // As libcurl gives it: the PEM text after "Cert:".
        certificate.der = PeerCertificate::derOfPem(dir.read(QStringLiteral("cert.pem")));
        EXPECT_EQ(certificate.der, shell(dir.path(), QStringLiteral("openssl x509 -in cert.pem "
                                                                    "-outform DER")));
        EXPECT_EQ(certificate.publicKeyPin(), pin);
        EXPECT_TRUE(fingerprint.endsWith('=' + certificate.fingerprint().toLatin1()))
            << fingerprint.toStdString();
    }
    // What is no certificate gives no pin, rather than a wrong one.
    for (const QByteArray& text : {QByteArray("-----BEGIN CERTIFICATE-----\nAAAA\n-----END "
                                              "CERTIFICATE-----\n"),
                                   QByteArray("\x30\x82\xff\xff\x30")}) {
        PeerCertificate garbage;
        garbage.der = PeerCertificate::derOfPem(text);
        EXPECT_TRUE(garbage.der.isEmpty());
        garbage.der = text;
        EXPECT_TRUE(garbage.publicKeyPin().isEmpty());
    }
}

// A trust file written before keeps working, and a new choice keeps its lines.
TEST(ServerTrust, TrustFileLinesAreReadAndWrittenInTheirFormat) {
    TrustPlace place;
    const QByteArray old = "ftp.example.jp:21 tls AB:CD:EF sha256//b2xkIGtleQ==";
    QFile file(place.path() + QStringLiteral("/VantorpadTrust.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(old + '\n') == old.size() + 1);
    file.close();
    const auto entry = place.trust().certificateFor("ftp.example.jp:21");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->fingerprint, QStringLiteral("AB:CD:EF"));
    EXPECT_EQ(entry->pin, QByteArray("sha256//b2xkIGtleQ=="));
    EXPECT_FALSE(place.trust().certificateFor("ftp.example.jp:990"));

    TempDir dir;
    shell(dir.path(), QStringLiteral("openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem "
                                     "-out cert.pem -days 2 -subj /CN=localhost"));
    PeerCertificate certificate;
    certificate.der = PeerCertificate::derOfPem(dir.read(QStringLiteral("cert.pem")));
    ASSERT_TRUE(place.trust().trustCertificate("h:990", certificate, TrustChoice::Permanently));
    const QByteArray added =
        "h:990 tls " + certificate.fingerprint().toLatin1() + ' ' + certificate.publicKeyPin();
    QByteArrayList lines = place.file().split('\n');
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (QByteArrayList{QByteArray(), old, added}));
    place.restart();
    ASSERT_TRUE(place.trust().certificateFor("h:990"));
    EXPECT_EQ(place.trust().certificateFor("h:990")->pin, certificate.publicKeyPin());
}

// What a transport asks before it lets a host key through, after each answer and after a
// restart of the program.
TEST(ServerTrust, HostKeyAnswersHoldAsLongAsTheySayAndAnotherKeyOfTheTypeIsAChange) {
    const QByteArray key = hostKey("ssh-ed25519", 'a');
    const QByteArray other = hostKey("ssh-ed25519", 'b');
    const QByteArray ecdsa = hostKey("ecdsa-sha2-nistp256", 'a');
    const struct {
        TrustChoice choice;
        HostKeyStatus now;
        HostKeyStatus afterRestart;
        HostKeyStatus otherAfterRestart;
    } cases[] = {
        {TrustChoice::Permanently, HostKeyStatus::Known, HostKeyStatus::Known,
         HostKeyStatus::Changed},
        {TrustChoice::ThisSession, HostKeyStatus::Known, HostKeyStatus::Unknown,
         HostKeyStatus::Unknown},
        {TrustChoice::Cancel, HostKeyStatus::Unknown, HostKeyStatus::Unknown,
         HostKeyStatus::Unknown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.choice));
        for (const QByteArray server : {"sv.example.jp:22", "sv.example.jp:2222"}) {
            TrustPlace place;
            EXPECT_EQ(place.trust().hostKeyStatus(server, key), HostKeyStatus::Unknown);
            ASSERT_TRUE(place.trust().trustHostKey(server, key, c.choice));
            EXPECT_EQ(place.trust().hostKeyStatus(server, key), c.now);
            EXPECT_EQ(place.trust().trustedThisSession(server, key),
                      c.choice != TrustChoice::Cancel);
            place.restart();
            EXPECT_EQ(place.trust().hostKeyStatus(server, key), c.afterRestart);
            EXPECT_EQ(place.trust().hostKeyStatus(server, other), c.otherAfterRestart);
            EXPECT_EQ(place.trust().hostKeyStatus(server, ecdsa), HostKeyStatus::Unknown);
            // The same host on another port is another server.
            EXPECT_EQ(place.trust().hostKeyStatus("sv.example.jp:23", key), HostKeyStatus::Unknown);
        }
    }
}
