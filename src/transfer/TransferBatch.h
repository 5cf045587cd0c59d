#pragma once

#include "ftp/ServerFileEntry.h"
#include "platform/Result.h"
#include "settings/ServerProfile.h"

#include <QByteArrayList>
#include <QString>
#include <QStringList>

#include <vector>

struct AppSettings;
class CFtpClient;
class TransferProgress;

// One upload or download of the selected lines of a pane, in list order. Every selected line
// but "." and ".." is counted, directories too, but only files are moved. A file that fails
// shows its message and the loop goes on with the next one; server names that cannot be local
// names are told in one message at the end.
//
// Plain (Shift_JIS) files go over the client's open connection, which enters the server
// directory once for the whole batch: a logon and a change of directory per file would cost
// more than moving a small file. After a failure the connection is closed, and the next file
// logs on afresh. Text files of an EUC-JP server go through the converting transfers, which use
// a connection of their own each; files the transfer mode makes binary move byte for byte over
// the open connection, as on any server. A converting transfer converts only what is text in
// the code system it converts from (Shift_JIS going up, EUC-JP coming down) and moves any
// other file byte for byte; after the batch one message names those files.
//
// Every upload follows the profile's upload rule (uploadByProfile): with SafeUpload a file
// replaces the server's file only once it is complete.
//
// Before every line after the cancel button was pressed the user is asked "中止します。
// よろしいですか？"; Yes ends the loop, No goes on (and the question comes again before the next
// line). An upload finishes the file it is moving first. A download asks at once: Yes stops the
// file where it is, the partial data is dropped and an older local file of that name stays as
// it was. During the conversion of a converting transfer (an upload's before its data moves, a
// download's after) the question comes at once in both directions: Yes stops the conversion,
// and the server's file and the local file stay as they were.
//
// The progress window hears of the current file's bytes (of its conversion, then of its data,
// or the other way round) and of the whole batch's files and bytes.
class TransferBatch {
public:
    TransferBatch(CFtpClient& client, const AppSettings& settings, const ServerProfile& profile,
                  int transferMode, const QString& pcPath, TransferProgress& progress);
    ~TransferBatch();
    TransferBatch(const TransferBatch&) = delete;
    TransferBatch& operator=(const TransferBatch&) = delete;

    // `selected` are entries of the PC pane (names as local bytes). `serverListing`, when
    // given, is a listing of the server directory just read: a server file of the same name,
    // which is deleted before its replacement is sent, is looked up there rather than asked
    // for file by file. Without it the server is asked for every file.
    void upload(const ServerFileList& selected, const ServerFileList* serverListing = nullptr);
    // `selected` are entries of the server pane, whose names were read in `listCode`.
    void download(const ServerFileList& selected, int listCode);

    // Files moved, and files that failed (user cancels not counted).
    int transferred() const { return m_transferred; }
    int failed() const { return m_failed; }
    bool cancelled() const { return m_cancelled; }

private:
    enum class Direction { Upload, Download };

    void run(Direction direction, const ServerFileList& selected, int listCode);
    bool askToStop();
    bool progressed(qint64 done, qint64 total);
    bool stopAtOnce();
    void finishFile(qint64 size);
    void uploadOne(const ServerFileEntry& entry, const QString& counter);
    void downloadOne(const ServerFileEntry& entry, int listCode, const QString& counter);
    Result<> send(const QString& local, const QByteArray& remote, const QString& name);
    Result<> sendAs(const QString& local, const QByteArray& remote, const QString& name,
                    bool deleteFirst);
    bool mayExistOnServer(const QByteArray& remote) const;
    Result<> receive(const QString& local, const QByteArray& remote, const QString& name);
    Result<> enterDirectory();
    void noteUnconverted(const Result<>& result, bool unconverted, const QString& name);

    CFtpClient& m_client;
    const AppSettings& m_settings;
    const ServerProfile m_profile;
    const int m_mode;
    const QString m_pcPath;
    TransferProgress& m_progress;

    Direction m_direction = Direction::Upload;
    qint64 m_expectedSize = 0;
    bool m_stopFile = false;
    bool m_inDirectory = false;            // the connection stands in the server directory
    std::vector<QByteArray> m_listedFiles; // sorted; empty without a listing
    bool m_haveListing = false;
    bool m_cancelled = false;
    int m_batchFiles = 0;     // files among the selected lines
    qint64 m_batchBytes = 0;  // and their sizes
    int m_filesDone = 0;      // files finished, moved or not
    qint64 m_bytesBefore = 0; // sizes of the files finished
    int m_transferred = 0;
    int m_failed = 0;
    QByteArrayList m_refused;  // server names no local file can have
    QStringList m_unconverted; // files of a converting transfer that went byte for byte
};
