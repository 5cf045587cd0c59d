#pragma once

#include "encoding/TextCodeGuess.h"
#include "ftp/EventPump.h"
#include "ftp/FtpDebugLog.h"
#include "ftp/FtpTransport.h"
#include "ftp/ListingParser.h"
#include "ftp/RemoteSession.h"
#include "ftp/ServerFileEntry.h"
#include "ftp/ServerFileStamp.h"
#include "platform/Result.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class ListingStream;
class QFileDevice;
struct NetworkSettings;
struct ServerProfile;

// The step of a transfer the progress handler is told about (CFtpClient::phase): the data
// moving over the connection, or the conversion between Shift_JIS and EUC-JP (or the copy of a
// downloaded file) on the PC, before an upload's data or after a download's.
enum class TransferPhase { Data, Conversion };

// What a download from an EUC-JP server does with a file whose bytes are not EUC-JP (a
// Shift_JIS or UTF-8 file on that server): converting it would garble it without a word.
enum class NotEucJp {
    Convert, // convert it all the same (to open it read-only as EUC-JP)
    Report,  // neither convert nor write it: the result says what it looks like, so the caller
             // can ask the user and download it again with Convert or AsIs
    AsIs,    // write it as the server keeps it, unconverted (to open it in the code system it
             // looks like)
};

// The outcome of a download from an EUC-JP server. `looksLike` is set whenever the server's
// file was not EUC-JP (whatever NotEucJp said), with the code system it looks like.
// With NotEucJp::Report such a file ends Refused, without a message and with the target as it
// was; every other outcome is as GetFileEUCAuto's.
struct [[nodiscard]] EucDownload {
    Result<> result = Result<>::failed();
    std::optional<TextCode> looksLike;
};

// What an upload to an EUC-JP server does with a local file that is not Shift_JIS text (a
// UTF-8 or EUC-JP text, an image, an archive): converting it would garble it.
enum class NotShiftJis {
    Convert, // convert it all the same
    AsIs,    // send it as it is, byte for byte
};

// The outcome of an upload to an EUC-JP server; `converted` is false when the file went as it
// is (NotShiftJis::AsIs).
struct [[nodiscard]] EucUpload {
    Result<> result = Result<>::failed();
    bool converted = true;
};

// The one object through which the program talks FTP. A task creates one from a whole server
// profile, calls operations and destroys it.
//
// Every operation says what happened with a Result: Done, Failed, Cancelled (the user stopped a
// transfer; no message) or Refused (a precondition failed, reported when the user must know).
// A failure carries the server's reply (or the transport's text for its error, or nothing when
// the fault was local) and its code: the reply code, else libcurl's or the file's error code.
// The session and transfer operations have shown their message through Prompt when they fail;
// the listings, Remove, Rename, RmDir and MakeDir show none of their own (but for a server
// directory that cannot be entered), so that the caller words the failure.
//
// Operations block the caller, but the Qt event loop gets its turn while they wait, so
// windows repaint and a progress window's cancel button can be pressed. The caller keeps the
// window that started an operation from starting another one and from destroying the client
// meanwhile; a call made on a client that is already busy fails at once.
class CFtpClient {
public:
    // Called during a transfer with the bytes moved so far and the size (0 when the server did
    // not tell it), and during a converting transfer's conversion after every block with the
    // bytes of the file converted so far and its size; phase() says which. Returning false
    // cancels the transfer: it ends Cancelled and shows no message, because the user who
    // cancelled knows; the target is left as it was and no intermediate file stays behind.
    using ProgressHandler = std::function<bool(qint64 done, qint64 total)>;

    // `trust` holds the certificates and host keys the user trusts; it outlives the client.
    CFtpClient(int proxyMode, const QString& proxyName, bool passive, bool rawListing,
               bool spaceDelimited, bool logEnabled, ServerTrust& trust);
    ~CFtpClient();
    CFtpClient(const CFtpClient&) = delete;
    CFtpClient& operator=(const CFtpClient&) = delete;

    // A client with the network settings and the profile, as every task makes it.
    static std::unique_ptr<CFtpClient> create(const NetworkSettings& network, bool debugLog,
                                              const ServerProfile& profile, ServerTrust& trust);

    // The profile the client connects with, taken whole: host, user, password (sent as CP932,
    // never shown or logged), port, protocol, key file, and whatever a profile holds later, so
    // that no part of it can stay behind from the profile before. The server directory becomes
    // the profile's. A connection made for a different logon is closed.
    void useProfile(const ServerProfile& profile);
    const ServerProfile& profile() const { return *m_profile; }

    // The directory to change to before each file operation (the server's bytes); may be empty.
    QByteArray serverDirectory;

    Result<> OpenSession();
    void CloseSession();
    Result<> SetServerDir();
    Result<> FileSend(const QString& local, const QByteArray& remote, bool ascii, bool deleteFirst);
    Result<> FileReceive(bool ascii, const QString& local, const QByteArray& remote);
    Result<> PutFileAuto(const QString& local, const QByteArray& remote, bool ascii,
                         bool deleteFirst);
    // Converts `local` from Shift_JIS into an intermediate file beside it and sends that,
    // whatever its bytes are (NotShiftJis::Convert).
    Result<> PutFileEUCAuto(const QString& local, const QByteArray& remote, bool deleteFirst);
    // With NotShiftJis::AsIs the file is read first, in the conversion's phase, until a byte
    // shows it is no Shift_JIS text; such a file is sent unconverted.
    EucUpload PutFileEUCAuto(const QString& local, const QByteArray& remote, bool deleteFirst,
                             NotShiftJis otherwise);
    Result<> GetFileAuto(const QString& local, const QByteArray& remote, bool ascii);
    // Downloads into an intermediate file beside `local` and converts it from EUC-JP into
    // `local`, whatever its bytes are (NotEucJp::Convert).
    Result<> GetFileEUCAuto(const QString& local, const QByteArray& remote);
    EucDownload GetFileEUCAuto(const QString& local, const QByteArray& remote, NotEucJp otherwise);
    Result<> Remove(const QByteArray& name);
    Result<> Rename(const QByteArray& oldName, const QByteArray& newName);
    Result<> RmDir(const QByteArray& name);
    Result<> MakeDir(const QByteArray& name);
    // The size and modification time of `remote` on a logged-on session, shown to no one:
    // either may be missing (no MDTM, an answer of another shape, no SIZE); nothing when the
    // server tells neither or the name is not there.
    std::optional<ServerFileStamp> StampOf(const QByteArray& remote);

    // Appends the entries of `path` ("*" = the current directory) of the kinds in `kinds`
    // (ServerFileKinds). Shows no message: a listing that cannot be read is Failed, an empty
    // directory is Done with nothing appended; a single name that the server says is not there
    // is Done with nothing appended.
    Result<> GetServerFileList(const QByteArray& path, ServerFileList& list, int kinds);
    // Lists the server directory over a connection of its own (direct, the profile's port);
    // Failed after a message.
    Result<> GetServerFileListSDK(const QByteArray& path, ServerFileList& list, int kinds);

    // One line of the debug log, printf-style: the format is this program's text, string
    // arguments are CP932 or the server's bytes.
    void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));

    bool isConnected() const { return m_session != nullptr; }
    QByteArray rootDirectory() const { return m_rootDirectory; }
    // Where relative names point: the root, or the directory SetServerDir entered.
    QByteArray currentDirectory() const { return m_currentDirectory; }

    void setProgressHandler(ProgressHandler handler);
    // The step the progress handler is being told about.
    TransferPhase phase() const { return m_phase; }
    void setTimeouts(const FtpTimeouts& timeouts) { m_timeouts = timeouts; }
    // The time-outs new clients start with (tests shorten them).
    // The most entries a listing keeps (DefaultListingLimit unless a test sets another); a
    // longer listing keeps the first ones and says how many it shows.
    static constexpr qsizetype DefaultListingLimit = 200000;
    static qsizetype setListingLimit(qsizetype limit);
    static qsizetype listingLimit();
    static FtpTimeouts setDefaultTimeouts(const FtpTimeouts& timeouts);
    static FtpTimeouts defaultTimeouts();

private:
    FtpEndpoint endpoint(int proxyMode) const;
    QByteArray absolute(const QByteArray& name) const;
    // Shows the failure's text, or `fallback` when it has none.
    static void showFailure(const Result<>& failure, const QString& fallback);
    // The server directory entered, or its failure shown.
    Result<> inServerDir();
    bool checkComposite(const QString& local, const QByteArray& remote, const QString& message);
    Result<> readyToReceive(bool ascii, const QString& local, const QByteArray& remote);
    Result<> receiveInto(QFileDevice& file, const QByteArray& remote, bool ascii,
                         TextCodeGuess* guess = nullptr);
    bool conversionProgressed(qint64 done, qint64 total);
    Result<> writeTarget(const QString& local, QFileDevice& intermediate,
                         std::optional<TextCode> looksLike, NotEucJp otherwise);
    Result<> sendFrom(const QString& local, const QByteArray& remote, bool ascii);
    Result<bool> readsAsShiftJisText(const QString& local);
    Result<> sendIn(const QString& local, const QByteArray& remote, bool deleteFirst);
    Result<> transferFailure(const Result<>& failure, const QString& fallback);
    int appendListed(const QByteArray& directory, const std::vector<ListedEntry>& entries,
                     const QByteArray& pattern, ServerFileList& list, int kinds);
    // The number of entries appended.
    Result<int> lookUpOne(const QByteArray& name, ServerFileList& list, int kinds);
    bool appendEntry(ServerFileEntry entry, bool recognised, ServerFileList& list, int kinds);
    // An operation of the connection is under way (the event loop may call back meanwhile).
    bool busy() const;

    // Shows why a logon failed, with the profile's settings.
    void showLogOnFailure(const Result<>& failure) const;
    // The failure of a name that cannot be sent.
    static Result<> unusableName();

    // The session of the profile's protocol (CFtpClientSession.cpp): FTP and FTPS through
    // `proxyMode` (LIST lines of no known format kept when `keepUnrecognised`), or SFTP.
    std::unique_ptr<RemoteSession> makeSession(int proxyMode, bool keepUnrecognised);
    // A request about `name` (made absolute) to the session; a name no server may be sent, or
    // a session that is busy or not there, fails at once.
    Result<> sessionRequest(const QByteArray& name,
                            const std::function<Result<>(const QByteArray& path)>& request);
    Result<std::vector<ListedEntry>> readListing(RemoteSession& session,
                                                 const QByteArray& directory);
    std::vector<ListedEntry> takeListing(ListingStream& stream);
    // The entries of the server directory over a connection of its own (GetServerFileListSDK).
    Result<std::vector<ListedEntry>> listingOfItsOwn();

    std::unique_ptr<ServerProfile> m_profile;
    int m_proxyMode;
    QByteArray m_proxyName;
    bool m_passive;
    bool m_rawListing;
    bool m_spaceDelimited;
    bool m_logEnabled;
    ServerTrust& m_trust;
    FtpDebugLog m_log;
    std::unique_ptr<RemoteSession> m_session; // while logged on, whatever the protocol
    QByteArray m_rootDirectory;
    QByteArray m_currentDirectory;
    FtpTimeouts m_timeouts;
    ProgressHandler m_progress;
    TransferPhase m_phase = TransferPhase::Data;
    EventPump m_pump;
};
